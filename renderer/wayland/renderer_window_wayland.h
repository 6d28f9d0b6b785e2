// The renderer's window on Wayland: one wlr layer-shell surface per output on the overlay layer,
// anchored to every edge, with the keyboard exclusively ours. The primary output (VELMORIA_OUTPUT,
// else the first announced) animates through EGL with a desktop OpenGL context; the others are
// black. Outputs that come and go while it runs are followed.
#pragma once

#include <EGL/egl.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "common/posix/runtime_folder_posix.h"
#include "common/posix/title_registry_posix.h"
#include "renderer/input_rules.h"
#include "renderer/keyboard_focus.h"
#include "renderer/platform.h"

struct wl_buffer;
struct wl_callback;
struct wl_compositor;
struct wl_display;
struct wl_egl_window;
struct wl_keyboard;
struct wl_output;
struct wl_pointer;
struct wl_registry;
struct wl_seat;
struct wl_shm;
struct wl_surface;
struct xkb_keymap;
struct xkb_state;
struct zwlr_layer_shell_v1;
struct zwlr_layer_surface_v1;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;

namespace velmoria {

class RendererWindowWayland final : public RendererWindow {
  public:
    // `connection`: the compositor's, when the layer-shell probe made one (taken over); else
    // Create connects.
    explicit RendererWindowWayland(wl_display* connection = nullptr) : display_(connection) {}
    ~RendererWindowWayland() override;

    bool Create(SaverSettings& settings, int32_t& width, int32_t& height) override;
    void Show(int showCommand) override;
    Message HandleNextMessage() override;
    void SwapBuffers() override;
    void WaitForMessage(int64_t timeoutUs) override;
    void TearDown() override;

  private:
    // The protocol's listeners: the window's (renderer_window_wayland.cpp) and the seats'
    // (seat_wayland.cpp) call the handlers below.
    friend struct WindowListenersWayland;
    friend struct SeatListenersWayland;

    // One output and the surface of ours on it.
    struct Output {
        RendererWindowWayland* owner = nullptr;
        uint32_t global = 0;
        wl_output* output = nullptr;
        zxdg_output_v1* xdgOutput = nullptr;
        std::string name;
        int32_t x = 0;  // logical position (xdg-output), for global pointer positions
        int32_t y = 0;
        int32_t scale = 1;        // as announced
        int32_t bufferScale = 1;  // as set on the animated surface
        bool described = false;   // its first "done" arrived
        wl_surface* surface = nullptr;
        zwlr_layer_surface_v1* layer = nullptr;
        int32_t width = 0;  // the surface's configured logical size
        int32_t height = 0;
        wl_buffer* black = nullptr;
    };
    struct Seat {
        RendererWindowWayland* owner = nullptr;
        uint32_t global = 0;
        wl_seat* seat = nullptr;
        wl_pointer* pointer = nullptr;
        wl_keyboard* keyboard = nullptr;
        Output* pointerOutput = nullptr;  // the output whose surface the pointer is over
        xkb_keymap* keymap = nullptr;
        xkb_state* keys = nullptr;
        KeyboardFocus focus;
        wl_surface* leftSurface = nullptr;   // the surface of ours that lost the keyboard last
        wl_callback* focusAnswer = nullptr;  // the question asked after a leave
    };

    // Handlers of the globals', outputs' and surfaces' events.
    void AddGlobal(wl_registry* registry, uint32_t name, const char* interface, uint32_t version);
    void RemoveGlobal(uint32_t name);
    void OutputDescribed(Output& output);
    void Configure(Output& output, uint32_t serial, uint32_t width, uint32_t height);
    void SurfaceClosed(Output& output);
    void FrameShown();

    // The seats' input (seat_wayland.cpp).
    void AddSeat(wl_seat* seat, uint32_t name);
    void ReleaseSeats();
    void SeatCapabilities(Seat& seat, uint32_t capabilities);
    void PointerAt(Seat& seat, wl_surface* surface, double x, double y);
    void KeyboardFocusChanged(Seat& seat, KeyboardFocusEvent event, wl_surface* surface);
    void Judge(RendererInput input, CursorPoint cursor);
    bool Shown(const wl_surface* surface) const;
    void ForgetSurface(const wl_surface* surface);

    int DispatchFromSocket(int64_t timeoutUs);
    bool SetUpEgl();
    void MakeSurface(Output& output);
    void SetBufferScale(Output& output);
    void AttachBlack(Output& output);
    void MakeAnimated(Output& output);
    void DropAnimated();
    void RemoveOutput(Output* output);
    void CloseWindow();
    void ChooseAnimated();

    SaverSettings* settings_ = nullptr;
    wl_display* display_ = nullptr;
    wl_registry* registry_ = nullptr;
    wl_compositor* compositor_ = nullptr;
    wl_shm* shm_ = nullptr;
    zwlr_layer_shell_v1* layerShell_ = nullptr;
    zxdg_output_manager_v1* xdgOutputs_ = nullptr;
    std::vector<std::unique_ptr<Output>> outputs_;  // in the order announced
    std::vector<std::unique_ptr<Seat>> seats_;
    bool surfacesMade_ = false;  // set-up done: outputs announced later get a surface at once

    Output* animated_ = nullptr;
    wl_egl_window* eglWindow_ = nullptr;
    EGLDisplay eglDisplay_ = EGL_NO_DISPLAY;
    EGLContext context_ = EGL_NO_CONTEXT;
    EGLConfig config_ = nullptr;
    EGLSurface eglSurface_ = EGL_NO_SURFACE;
    wl_callback* frameCallback_ = nullptr;  // the last frame is not shown yet: no new one
    int32_t width_ = 0;                     // the buffer size the scene is set up for
    int32_t height_ = 0;
    bool sceneReady_ = false;

    LateStartCursor start_;
    bool closePending_ = false;  // the posted close request
    bool closed_ = false;        // the surfaces are gone
    bool lost_ = false;          // the compositor went away
    std::unique_ptr<TitleRegistryEntryPosix> titleEntry_;
};

}  // namespace velmoria
