// The shell's forms on X11 and the ending signals: caught from the moment the forms exist, so a
// SIGTERM that comes while the session starts its renderer (before the loop runs) is handled by
// the loop, never by the default ending that would leave the renderer behind.
#include <glib.h>
#include <gtest/gtest.h>
#include <signal.h>

#include "shell/x11/forms_x11.h"

namespace velmoria {
namespace {

TEST(FormsX11, EndingSignalsBeforeTheLoopAreCaught) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        GTEST_SKIP() << "no X server in DISPLAY";
    }
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(signal);
        FormsX11 forms(display);
        raise(signal);  // the default ending would end this test program here
        for (int i = 0; i < 100 && !forms.EndingSignalCaught(); ++i) {
            g_main_context_iteration(nullptr, FALSE);
            g_usleep(1000);
        }
        EXPECT_TRUE(forms.EndingSignalCaught());
    }
    XCloseDisplay(display);
}

}  // namespace
}  // namespace velmoria
