// The window look-up by title on a real X server (the one DISPLAY names): both title
// properties, exact matches only, unmapped windows, and frames one level deep.
#include <gtest/gtest.h>

// Xlib after GoogleTest: its None and Bool macros would break GoogleTest's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "shell/x11/window_search_x11.h"

namespace velmoria {
namespace {

class WindowSearch : public ::testing::Test {
  protected:
    void SetUp() override {
        display_ = std::getenv("DISPLAY") != nullptr ? XOpenDisplay(nullptr) : nullptr;
        if (display_ == nullptr) {
            GTEST_SKIP() << "no X server";
        }
        // Titles of this process only, so that other programs' windows cannot interfere.
        suffix_ = " " + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                  std::to_string(reinterpret_cast<uintptr_t>(this));
    }
    void TearDown() override {
        if (display_ != nullptr) {
            XCloseDisplay(display_);
        }
    }

    Window Make(Window parent) {
        const Window w = XCreateSimpleWindow(display_, parent, 0, 0, 1, 1, 0, 0, 0);
        XSync(display_, False);
        return w;
    }
    void SetWmName(Window w, const std::string& title) {
        XStoreName(display_, w, title.c_str());
        XSync(display_, False);
    }
    void SetNetWmName(Window w, const std::string& title) {
        XChangeProperty(display_, w, XInternAtom(display_, "_NET_WM_NAME", False),
                        XInternAtom(display_, "UTF8_STRING", False), 8, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(title.data()),
                        static_cast<int>(title.size()));
        XSync(display_, False);
    }
    Window Find(const std::string& title) { return FindTopLevelWindowX11(display_, title.c_str()); }

    Display* display_ = nullptr;
    std::string suffix_;
};

TEST_F(WindowSearch, EitherTitlePropertyOfAnUnmappedTopLevelWindow) {
    const Window root = DefaultRootWindow(display_);
    const Window a = Make(root);
    SetWmName(a, "Skorvane_Main" + suffix_);
    const Window b = Make(root);
    SetNetWmName(b, "<Velmoria>" + suffix_);
    EXPECT_EQ(Find("Skorvane_Main" + suffix_), a);
    EXPECT_EQ(Find("<Velmoria>" + suffix_), b);
}

TEST_F(WindowSearch, OnlyExactTitles) {
    const Window a = Make(DefaultRootWindow(display_));
    SetWmName(a, "Skorvane_Main" + suffix_);
    EXPECT_EQ(Find("skorvane_main" + suffix_), static_cast<Window>(None));
    EXPECT_EQ(Find("Skorvane_Main" + suffix_ + " "), static_cast<Window>(None));
    EXPECT_EQ(Find("Skorvane" + suffix_), static_cast<Window>(None));
}

TEST_F(WindowSearch, InsideAFrameButNoDeeper) {
    // A window manager's frame holds the client window one level below the root's child.
    const Window frame = Make(DefaultRootWindow(display_));
    const Window client = Make(frame);
    SetWmName(client, "framed" + suffix_);
    const Window deeper = Make(client);
    SetWmName(deeper, "deeper" + suffix_);
    EXPECT_EQ(Find("framed" + suffix_), client);
    EXPECT_EQ(Find("deeper" + suffix_), static_cast<Window>(None));
}

TEST_F(WindowSearch, GoneWindowIsNotFound) {
    const Window a = Make(DefaultRootWindow(display_));
    SetWmName(a, "gone" + suffix_);
    ASSERT_EQ(Find("gone" + suffix_), a);
    XDestroyWindow(display_, a);
    XSync(display_, False);
    EXPECT_EQ(Find("gone" + suffix_), static_cast<Window>(None));
}

}  // namespace
}  // namespace velmoria
