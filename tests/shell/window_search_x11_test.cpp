// The window look-up by title on a real X server (the one DISPLAY names): both title
// properties, exact matches only, unmapped windows, clients inside window-manager frames at any
// depth, and the window manager's client list.
#include <gtest/gtest.h>

// Xlib after GoogleTest: its None and Bool macros would break GoogleTest's names.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

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
    // What a window manager puts on the clients it manages (state 1, normal).
    void SetWmState(Window w) {
        const Atom wmState = XInternAtom(display_, "WM_STATE", False);
        const long state[2] = {1, None};
        XChangeProperty(display_, w, wmState, wmState, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(state), 2);
        XSync(display_, False);
    }
    Window Find(const std::string& title) { return FindTopLevelWindowX11(display_, title.c_str()); }

    // Puts a root window property back as it was (or removes it) when the test ends.
    class SavedRootProperty {
      public:
        SavedRootProperty(Display* display, Atom property)
            : display_(display), property_(property) {
            unsigned char* data = nullptr;
            unsigned long count = 0, after = 0;
            int format = 0;
            Atom type = None;
            if (XGetWindowProperty(display, DefaultRootWindow(display), property, 0, 65536, False,
                                   XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
                data != nullptr) {
                const auto* windows = reinterpret_cast<const unsigned long*>(data);
                saved_.assign(windows, windows + count);
                existed_ = type == XA_WINDOW;
                XFree(data);
            }
        }
        ~SavedRootProperty() {
            const Window root = DefaultRootWindow(display_);
            if (existed_) {
                XChangeProperty(display_, root, property_, XA_WINDOW, 32, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(saved_.data()),
                                static_cast<int>(saved_.size()));
            } else {
                XDeleteProperty(display_, root, property_);
            }
            XSync(display_, False);
        }

      private:
        Display* display_;
        Atom property_;
        bool existed_ = false;
        std::vector<unsigned long> saved_;
    };

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

// A reparenting window manager puts its client inside a frame, sometimes several windows deep
// (KWin: frame, wrapper, client; fvwm: frame, parent, client), and marks it with WM_STATE.
TEST_F(WindowSearch, ClientsInsideFramesAtAnyDepth) {
    const Window root = DefaultRootWindow(display_);
    const Window frame = Make(root);
    const Window client = Make(frame);
    SetWmState(client);
    SetWmName(client, "framed" + suffix_);
    const Window outer = Make(root);
    const Window wrapper = Make(Make(outer));
    const Window deepClient = Make(wrapper);
    SetWmState(deepClient);
    SetWmName(deepClient, "nested" + suffix_);
    // A client's own child windows are not top-level windows.
    const Window child = Make(deepClient);
    SetWmName(child, "child" + suffix_);
    EXPECT_EQ(Find("framed" + suffix_), client);
    EXPECT_EQ(Find("nested" + suffix_), deepClient);
    EXPECT_EQ(Find("child" + suffix_), static_cast<Window>(None));
}

// With a window manager's client list, its clients are found wherever they sit.
TEST_F(WindowSearch, ClientsTheWindowManagerLists) {
    const Window root = DefaultRootWindow(display_);
    const Window client = Make(Make(Make(Make(root))));
    SetNetWmName(client, "listed" + suffix_);
    const Atom clientList = XInternAtom(display_, "_NET_CLIENT_LIST_STACKING", False);
    SavedRootProperty saved(display_, clientList);
    XChangeProperty(display_, root, clientList, XA_WINDOW, 32, PropModeAppend,
                    reinterpret_cast<const unsigned char*>(&client), 1);
    XSync(display_, False);
    EXPECT_EQ(Find("listed" + suffix_), client);
}

// A window manager that has no clients yet lists none: the search goes on to the root's
// children.
TEST_F(WindowSearch, AnEmptyClientListIsNoFailure) {
    const Window root = DefaultRootWindow(display_);
    const Window a = Make(root);
    SetWmName(a, "unlisted" + suffix_);
    const Atom clientList = XInternAtom(display_, "_NET_CLIENT_LIST_STACKING", False);
    SavedRootProperty saved(display_, clientList);
    XChangeProperty(display_, root, clientList, XA_WINDOW, 32, PropModeReplace, nullptr, 0);
    XSync(display_, False);
    EXPECT_EQ(Find("unlisted" + suffix_), a);
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
