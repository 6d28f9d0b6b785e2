// The shell's forms on X11 and the ending signals: caught from the first form on, so a SIGTERM
// that comes while the session starts its renderer (before the loop runs) closes the forms when
// the loop runs, never ending the process the default way with the renderer left behind.
#include <glib.h>
#include <gtest/gtest.h>
#include <signal.h>

#include "shell/x11/forms_x11.h"

namespace velmoria {
namespace {

class ClosingForm final : public FormEvents {
  public:
    void OnTimer(int) override {}
    void OnQueryUnload() override { ++unloads; }
    int unloads = 0;
};

TEST(FormsX11, EndingSignalsBeforeTheLoopCloseTheForms) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        GTEST_SKIP() << "no X server in DISPLAY";
    }
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(signal);
        ClosingForm form;
        {
            FormsX11 forms(display);
            forms.Create("Velmoria signal test", 0, &form);
            raise(signal);  // the default ending would end this test program here
            for (int i = 0; i < 100 && !forms.EndingSignalCaught(); ++i) {
                g_main_context_iteration(nullptr, FALSE);
                g_usleep(1000);
            }
            EXPECT_TRUE(forms.EndingSignalCaught());
        }
        EXPECT_EQ(form.unloads, 1);
    }
    XCloseDisplay(display);
}

}  // namespace
}  // namespace velmoria
