// The search of the window tree by title. Top-level windows are where a window manager leaves
// them: its clients sit inside frames, sometimes several windows deep (KWin: frame, wrapper,
// client; fvwm: frame, parent, client), and are listed on the root window (_NET_CLIENT_LIST);
// unmanaged and unmapped windows (the shell's hidden markers) are children of the root.
// The renderer watch searches ten times a second, so every step sends all its requests at once
// through XCB and then collects the replies: a handful of round trips, however many windows.
#include "shell/x11/window_search_x11.h"

#include <X11/Xlib-xcb.h>
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace velmoria {

namespace {

// How far below a root child a window manager's client may sit.
constexpr int kMaxFrameDepth = 4;

struct Atoms {
    xcb_atom_t netWmName;
    xcb_atom_t utf8;
    xcb_atom_t wmState;
    xcb_atom_t clientList;
    xcb_atom_t clientListStacking;

    // Xlib keeps interned atoms, so only the first search asks the server.
    explicit Atoms(Display* display)
        : netWmName(XInternAtom(display, "_NET_WM_NAME", False)),
          utf8(XInternAtom(display, "UTF8_STRING", False)),
          wmState(XInternAtom(display, "WM_STATE", False)),
          clientList(XInternAtom(display, "_NET_CLIENT_LIST", False)),
          clientListStacking(XInternAtom(display, "_NET_CLIENT_LIST_STACKING", False)) {}
};

// A property's value; `present` is false for a missing property or a window that has gone.
struct Property {
    bool present = false;
    xcb_atom_t type = XCB_ATOM_NONE;
    uint8_t format = 0;
    std::string bytes;
};

Property TakeProperty(xcb_connection_t* c, xcb_get_property_cookie_t cookie) {
    Property property;
    xcb_generic_error_t* error = nullptr;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, &error);
    std::free(error);
    if (reply == nullptr) {
        return property;
    }
    property.present = reply->type != XCB_ATOM_NONE;
    property.type = reply->type;
    property.format = reply->format;
    property.bytes.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                          static_cast<size_t>(xcb_get_property_value_length(reply)));
    std::free(reply);
    return property;
}

std::vector<xcb_window_t> TakeChildren(xcb_connection_t* c, xcb_query_tree_cookie_t cookie) {
    xcb_generic_error_t* error = nullptr;
    xcb_query_tree_reply_t* reply = xcb_query_tree_reply(c, cookie, &error);
    std::free(error);
    std::vector<xcb_window_t> children;
    if (reply != nullptr) {
        const xcb_window_t* first = xcb_query_tree_children(reply);
        children.assign(first, first + xcb_query_tree_children_length(reply));
        std::free(reply);
    }
    return children;
}

std::vector<xcb_window_t> WindowList(const Property& property) {
    std::vector<xcb_window_t> windows;
    if (property.type == XCB_ATOM_WINDOW && property.format == 32) {
        windows.resize(property.bytes.size() / sizeof(xcb_window_t));
        if (!windows.empty()) {  // an empty list has no bytes to copy, and may have no buffer
            std::memcpy(windows.data(), property.bytes.data(),
                        windows.size() * sizeof(xcb_window_t));
        }
    }
    return windows;
}

// The first of `windows` whose _NET_WM_NAME (UTF-8) or WM_NAME is exactly `title`.
xcb_window_t FirstTitled(xcb_connection_t* c, const Atoms& atoms,
                         const std::vector<xcb_window_t>& windows, const char* title) {
    std::vector<xcb_get_property_cookie_t> cookies;
    cookies.reserve(windows.size() * 2);
    for (const xcb_window_t window : windows) {
        cookies.push_back(xcb_get_property(c, 0, window, atoms.netWmName, atoms.utf8, 0, 1024));
        cookies.push_back(
            xcb_get_property(c, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024));
    }
    xcb_window_t found = XCB_WINDOW_NONE;
    for (size_t i = 0; i < windows.size(); ++i) {
        // Every reply is taken, so that none is left behind on the connection.
        const Property netName = TakeProperty(c, cookies[2 * i]);
        const Property name = TakeProperty(c, cookies[2 * i + 1]);
        const bool match =
            (netName.type == atoms.utf8 && netName.format == 8 && netName.bytes == title) ||
            (name.present && name.format == 8 && name.bytes == title);
        if (match && found == XCB_WINDOW_NONE) {
            found = windows[i];
        }
    }
    return found;
}

// Which of `windows` carry WM_STATE, the mark a window manager puts on its clients.
std::vector<bool> HaveWmState(xcb_connection_t* c, const Atoms& atoms,
                              const std::vector<xcb_window_t>& windows) {
    std::vector<xcb_get_property_cookie_t> cookies;
    cookies.reserve(windows.size());
    for (const xcb_window_t window : windows) {
        cookies.push_back(
            xcb_get_property(c, 0, window, atoms.wmState, XCB_GET_PROPERTY_TYPE_ANY, 0, 0));
    }
    std::vector<bool> marked;
    marked.reserve(windows.size());
    for (const xcb_get_property_cookie_t cookie : cookies) {
        marked.push_back(TakeProperty(c, cookie).present);
    }
    return marked;
}

// The clients (windows with WM_STATE) inside the frames of a window manager, breadth first, at
// most kMaxFrameDepth levels down.
std::vector<xcb_window_t> ClientsInside(xcb_connection_t* c, const Atoms& atoms,
                                        std::vector<xcb_window_t> frames) {
    std::vector<xcb_window_t> clients;
    for (int depth = 0; depth < kMaxFrameDepth && !frames.empty(); ++depth) {
        std::vector<xcb_query_tree_cookie_t> cookies;
        cookies.reserve(frames.size());
        for (const xcb_window_t frame : frames) {
            cookies.push_back(xcb_query_tree(c, frame));
        }
        std::vector<xcb_window_t> children;
        for (const xcb_query_tree_cookie_t cookie : cookies) {
            const std::vector<xcb_window_t> some = TakeChildren(c, cookie);
            children.insert(children.end(), some.begin(), some.end());
        }
        const std::vector<bool> marked = HaveWmState(c, atoms, children);
        frames.clear();
        for (size_t i = 0; i < children.size(); ++i) {
            (marked[i] ? clients : frames).push_back(children[i]);
        }
    }
    return clients;
}

}  // namespace

Window FindTopLevelWindowX11(Display* display, const char* title) {
    if (display == nullptr) {
        return None;
    }
    const Atoms atoms(display);
    XFlush(display);
    xcb_connection_t* c = XGetXCBConnection(display);
    const xcb_window_t root = DefaultRootWindow(display);

    const xcb_get_property_cookie_t stackingCookie =
        xcb_get_property(c, 0, root, atoms.clientListStacking, XCB_ATOM_WINDOW, 0, 65536);
    const xcb_get_property_cookie_t listCookie =
        xcb_get_property(c, 0, root, atoms.clientList, XCB_ATOM_WINDOW, 0, 65536);
    const xcb_query_tree_cookie_t treeCookie = xcb_query_tree(c, root);
    std::vector<xcb_window_t> clients = WindowList(TakeProperty(c, stackingCookie));
    const std::vector<xcb_window_t> listed = WindowList(TakeProperty(c, listCookie));
    const std::vector<xcb_window_t> tops = TakeChildren(c, treeCookie);

    // The clients a window manager lists, wherever it has put them, then the root's children:
    // unmanaged and unmapped windows.
    std::vector<xcb_window_t> candidates;
    std::set<xcb_window_t> seen;
    clients.insert(clients.end(), listed.begin(), listed.end());
    auto add = [&](const std::vector<xcb_window_t>& windows) {
        for (const xcb_window_t window : windows) {
            if (seen.insert(window).second) {
                candidates.push_back(window);
            }
        }
    };
    add(clients);
    add(tops);
    xcb_window_t found = FirstTitled(c, atoms, candidates, title);
    // A window manager that lists nothing: the clients inside its frames.
    if (found == XCB_WINDOW_NONE && clients.empty()) {
        const std::vector<bool> marked = HaveWmState(c, atoms, tops);
        std::vector<xcb_window_t> frames;
        for (size_t i = 0; i < tops.size(); ++i) {
            if (!marked[i]) {
                frames.push_back(tops[i]);
            }
        }
        found = FirstTitled(c, atoms, ClientsInside(c, atoms, frames), title);
    }
    return found;
}

}  // namespace velmoria
