// The renderer's window on Wayland. Sections: the protocol's listeners (translating events into
// calls of the window); set-up (globals, outputs, EGL); surfaces per output; the loop. The seats'
// input is in seat_wayland.cpp.
#include "renderer/wayland/renderer_window_wayland.h"

#include <EGL/eglext.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <wayland-egl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "common/saver_contract.h"
#include "renderer/diagnostics.h"
#include "renderer/egl/desktop_gl_config_egl.h"
#include "renderer/monitor_windows.h"
#include "renderer/scene.h"
#include "xdg-output-unstable-v1-client-protocol.h"
// The protocol names an argument "namespace", a keyword of C++.
#define namespace layer_namespace
#include "wlr-layer-shell-unstable-v1-client-protocol.h"
#undef namespace

namespace velmoria {

namespace {

void Report(const char* what) {
    ReportRendererFailure("Wayland", what);
}

// A black buffer of that size: a new memory file reads as zeros, which XRGB8888 shows black.
wl_buffer* MakeBlackBuffer(wl_shm* shm, int32_t width, int32_t height) {
    const int32_t stride = width * 4;
    const off_t size = static_cast<off_t>(stride) * height;
    const int fd = memfd_create("velmoria-black", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, size) != 0) {
        if (fd >= 0) {
            close(fd);
        }
        return nullptr;
    }
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, static_cast<int32_t>(size));
    wl_buffer* buffer =
        wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

}  // namespace

// The protocol's events on the globals, outputs and surfaces, translated into calls of the
// window: one function per slot of each listener, named for the event. The seat's are in
// seat_wayland.cpp.
struct WindowListenersWayland {
    using Output = RendererWindowWayland::Output;

    // wl_registry.global: a global announced, at the start or later (an output plugged in).
    static void OnRegistryGlobal(void* data, wl_registry* registry, uint32_t name,
                                 const char* interface, uint32_t version) {
        static_cast<RendererWindowWayland*>(data)->AddGlobal(registry, name, interface, version);
    }
    // wl_registry.global_remove: a global gone (an output unplugged).
    static void OnRegistryGlobalRemove(void* data, wl_registry*, uint32_t name) {
        static_cast<RendererWindowWayland*>(data)->RemoveGlobal(name);
    }

    // wl_output.geometry, mode: not needed (the layer surface's configure gives the size).
    static void OnOutputGeometry(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t,
                                 const char*, const char*, int32_t) {}
    static void OnOutputMode(void*, wl_output*, uint32_t, int32_t, int32_t, int32_t) {}
    // wl_output.done: the output's description is complete.
    static void OnOutputDone(void* data, wl_output*) {
        Output* output = static_cast<Output*>(data);
        output->owner->OutputDescribed(*output);
    }
    // wl_output.scale: the factor the animated surface's buffer takes.
    static void OnOutputScale(void* data, wl_output*, int32_t factor) {
        static_cast<Output*>(data)->scale = factor;
    }
    // wl_output.name: the name VELMORIA_OUTPUT chooses by.
    static void OnOutputName(void* data, wl_output*, const char* name) {
        static_cast<Output*>(data)->name = name;
    }
    // wl_output.description: not needed.
    static void OnOutputDescription(void*, wl_output*, const char*) {}

    // zxdg_output_v1.logical_position: where the output lies, for global pointer positions.
    static void OnXdgOutputLogicalPosition(void* data, zxdg_output_v1*, int32_t x, int32_t y) {
        static_cast<Output*>(data)->x = x;
        static_cast<Output*>(data)->y = y;
    }
    // zxdg_output_v1.logical_size: not needed.
    static void OnXdgOutputLogicalSize(void*, zxdg_output_v1*, int32_t, int32_t) {}
    // zxdg_output_v1.done: before version 3 wl_output's "done" follows anyway.
    static void OnXdgOutputDone(void*, zxdg_output_v1*) {}
    // zxdg_output_v1.name: the output's name where wl_output (before version 4) tells none.
    static void OnXdgOutputName(void* data, zxdg_output_v1*, const char* name) {
        Output* output = static_cast<Output*>(data);
        if (output->name.empty()) {
            output->name = name;
        }
    }
    // zxdg_output_v1.description: not needed.
    static void OnXdgOutputDescription(void*, zxdg_output_v1*, const char*) {}

    // zwlr_layer_surface_v1.configure: the surface's size, to be acknowledged.
    static void OnLayerConfigure(void* data, zwlr_layer_surface_v1*, uint32_t serial,
                                 uint32_t width, uint32_t height) {
        Output* output = static_cast<Output*>(data);
        output->owner->Configure(*output, serial, width, height);
    }
    // zwlr_layer_surface_v1.closed: the compositor took the surface away.
    static void OnLayerClosed(void* data, zwlr_layer_surface_v1*) {
        Output* output = static_cast<Output*>(data);
        output->owner->SurfaceClosed(*output);
    }

    // wl_callback.done of a frame: the last frame is shown, the next may be drawn.
    static void OnFrameDone(void* data, wl_callback*, uint32_t) {
        static_cast<RendererWindowWayland*>(data)->FrameShown();
    }

    // wl_buffer.release: a black buffer is kept while its surface lives.
    static void OnBufferRelease(void*, wl_buffer*) {}

    static const wl_registry_listener registry;
    static const wl_output_listener output;
    static const zxdg_output_v1_listener xdgOutput;
    static const zwlr_layer_surface_v1_listener layer;
    static const wl_callback_listener frame;
    static const wl_buffer_listener buffer;
};

const wl_registry_listener WindowListenersWayland::registry = {
    &OnRegistryGlobal,        // global
    &OnRegistryGlobalRemove,  // global_remove
};

const wl_output_listener WindowListenersWayland::output = {
    &OnOutputGeometry,     // geometry
    &OnOutputMode,         // mode
    &OnOutputDone,         // done
    &OnOutputScale,        // scale
    &OnOutputName,         // name
    &OnOutputDescription,  // description
};

const zxdg_output_v1_listener WindowListenersWayland::xdgOutput = {
    &OnXdgOutputLogicalPosition,  // logical_position
    &OnXdgOutputLogicalSize,      // logical_size
    &OnXdgOutputDone,             // done
    &OnXdgOutputName,             // name
    &OnXdgOutputDescription,      // description
};

const zwlr_layer_surface_v1_listener WindowListenersWayland::layer = {
    &OnLayerConfigure,  // configure
    &OnLayerClosed,     // closed
};

const wl_callback_listener WindowListenersWayland::frame = {
    &OnFrameDone,  // done
};

const wl_buffer_listener WindowListenersWayland::buffer = {
    &OnBufferRelease,  // release
};

// ---- Set-up ----

RendererWindowWayland::~RendererWindowWayland() {
    if (display_ != nullptr) {
        TearDown();
    }
}

void RendererWindowWayland::AddGlobal(wl_registry* registry, uint32_t name, const char* interface,
                                      uint32_t version) {
    auto bind = [&](const wl_interface& wanted, uint32_t highest) {
        return wl_registry_bind(registry, name, &wanted, std::min(version, highest));
    };
    if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
        compositor_ = static_cast<wl_compositor*>(bind(wl_compositor_interface, 4));
    } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
        shm_ = static_cast<wl_shm*>(bind(wl_shm_interface, 1));
    } else if (std::strcmp(interface, zwlr_layer_shell_v1_interface.name) == 0) {
        layerShell_ = static_cast<zwlr_layer_shell_v1*>(bind(zwlr_layer_shell_v1_interface, 4));
    } else if (std::strcmp(interface, zxdg_output_manager_v1_interface.name) == 0) {
        xdgOutputs_ =
            static_cast<zxdg_output_manager_v1*>(bind(zxdg_output_manager_v1_interface, 3));
    } else if (std::strcmp(interface, wl_seat_interface.name) == 0) {
        AddSeat(static_cast<wl_seat*>(bind(wl_seat_interface, 5)), name);
    } else if (std::strcmp(interface, wl_output_interface.name) == 0 && version >= 2) {
        auto output = std::make_unique<Output>();
        output->owner = this;
        output->global = name;
        output->output = static_cast<wl_output*>(bind(wl_output_interface, 4));
        wl_output_add_listener(output->output, &WindowListenersWayland::output, output.get());
        if (xdgOutputs_ != nullptr) {
            output->xdgOutput = zxdg_output_manager_v1_get_xdg_output(xdgOutputs_, output->output);
            zxdg_output_v1_add_listener(output->xdgOutput, &WindowListenersWayland::xdgOutput,
                                        output.get());
        }
        outputs_.push_back(std::move(output));
    }
}

void RendererWindowWayland::RemoveGlobal(uint32_t name) {
    for (auto& output : outputs_) {
        if (output->global == name) {
            RemoveOutput(output.get());
            return;
        }
    }
}

void RendererWindowWayland::OutputDescribed(Output& output) {
    output.described = true;
    if (!surfacesMade_ || closed_) {
        return;
    }
    if (output.surface == nullptr) {
        if (animated_ == nullptr) {
            ChooseAnimated();
        }
        MakeSurface(output);
    } else if (&output == animated_ && output.scale != output.bufferScale && output.width > 0) {
        // A new scale keeps the drawing at full resolution: the buffer grows with it at once,
        // and the compositor's new logical size follows in a configure.
        SetBufferScale(output);
        MakeAnimated(output);
    }
}

bool RendererWindowWayland::Create(SaverSettings& settings, int32_t& width, int32_t& height) {
    settings_ = &settings;
    if (display_ == nullptr) {
        display_ = wl_display_connect(nullptr);
    }
    if (display_ == nullptr) {
        Report("cannot connect to the compositor (WAYLAND_DISPLAY)");
        return false;
    }
    registry_ = wl_display_get_registry(display_);
    wl_registry_add_listener(registry_, &WindowListenersWayland::registry, this);
    wl_display_roundtrip(display_);
    if (compositor_ == nullptr || shm_ == nullptr || layerShell_ == nullptr) {
        Report("the compositor offers no zwlr_layer_shell_v1");
        return false;
    }
    // The manager may have been announced after some outputs.
    for (auto& output : outputs_) {
        if (output->xdgOutput == nullptr && xdgOutputs_ != nullptr) {
            output->xdgOutput = zxdg_output_manager_v1_get_xdg_output(xdgOutputs_, output->output);
            zxdg_output_v1_add_listener(output->xdgOutput, &WindowListenersWayland::xdgOutput,
                                        output.get());
        }
    }
    wl_display_roundtrip(display_);
    ChooseAnimated();
    if (animated_ == nullptr) {
        Report("the compositor announces no output");
        return false;
    }
    if (!SetUpEgl()) {
        return false;
    }
    surfacesMade_ = true;
    for (auto& output : outputs_) {
        if (output->described) {
            MakeSurface(*output);
        }
    }
    // The animated surface exists once its first size has come.
    while (animated_ != nullptr && eglSurface_ == EGL_NO_SURFACE && !lost_) {
        if (wl_display_roundtrip(display_) < 0) {
            lost_ = true;
        }
    }
    if (eglSurface_ == EGL_NO_SURFACE) {
        Report("the primary output's surface was never configured");
        return false;
    }
    // What the window's creation records: a handle, and the title the shell looks for. The
    // pointer's start is heard with its first event over our surfaces.
    settings.hwnd = reinterpret_cast<uintptr_t>(animated_->surface);
    titleEntry_ =
        std::make_unique<TitleRegistryEntryPosix>(RuntimeFolderPosix(), kRendererWindowTitle);
    if (!titleEntry_->Held()) {
        // The shell could not see the window and would end the session as failed.
        Report(titleEntry_->Fault().c_str());
        return false;
    }
    width = width_;
    height = height_;
    return true;
}

bool RendererWindowWayland::SetUpEgl() {
    eglDisplay_ = eglGetPlatformDisplay(EGL_PLATFORM_WAYLAND_KHR, display_, nullptr);
    if (eglDisplay_ == EGL_NO_DISPLAY || !eglInitialize(eglDisplay_, nullptr, nullptr)) {
        ReportRendererFailure("EGL", "cannot initialise the Wayland display");
        return false;
    }
    if (const std::string fault = ChooseDesktopGlConfigEgl(eglDisplay_, EGL_WINDOW_BIT, config_);
        !fault.empty()) {
        ReportRendererFailure("EGL", fault.c_str());
        return false;
    }
    context_ = eglCreateContext(eglDisplay_, config_, EGL_NO_CONTEXT, nullptr);
    if (context_ == EGL_NO_CONTEXT) {
        // As on the other platforms: the loop runs without drawing and input still ends it.
        ReportRendererFailure("EGL", "cannot create a context");
    }
    return true;
}

void RendererWindowWayland::ChooseAnimated() {
    std::vector<Output*> candidates;
    std::vector<std::string> names;
    for (auto& output : outputs_) {
        if (output->described) {
            candidates.push_back(output.get());
            names.push_back(output->name);
        }
    }
    const int index = PrimaryOutputIndex(names, std::getenv("VELMORIA_OUTPUT"));
    animated_ = index >= 0 ? candidates[static_cast<size_t>(index)] : nullptr;
}

// ---- Surfaces ----

void RendererWindowWayland::MakeSurface(Output& output) {
    output.surface = wl_compositor_create_surface(compositor_);
    output.layer = zwlr_layer_shell_v1_get_layer_surface(
        layerShell_, output.surface, output.output, ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY, "velmoria");
    zwlr_layer_surface_v1_set_anchor(
        output.layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                          ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    zwlr_layer_surface_v1_set_size(output.layer, 0, 0);  // the compositor's: the whole output
    zwlr_layer_surface_v1_set_exclusive_zone(output.layer, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(output.layer, 1);  // exclusive
    zwlr_layer_surface_v1_add_listener(output.layer, &WindowListenersWayland::layer, &output);
    if (&output == animated_) {
        SetBufferScale(output);
    }
    wl_surface_commit(output.surface);
}

// Takes effect with the next commit, the swap that brings the buffer of the matching size.
void RendererWindowWayland::SetBufferScale(Output& output) {
    output.bufferScale = std::max(output.scale, 1);
    wl_surface_set_buffer_scale(output.surface, output.bufferScale);
}

void RendererWindowWayland::Configure(Output& output, uint32_t serial, uint32_t width,
                                      uint32_t height) {
    zwlr_layer_surface_v1_ack_configure(output.layer, serial);
    const bool resized = static_cast<int32_t>(width) != output.width ||
                         static_cast<int32_t>(height) != output.height;
    output.width = static_cast<int32_t>(width);
    output.height = static_cast<int32_t>(height);
    if (&output == animated_) {
        MakeAnimated(output);
    } else if (resized || output.black == nullptr) {
        AttachBlack(output);
    } else {
        wl_surface_commit(output.surface);
    }
}

void RendererWindowWayland::AttachBlack(Output& output) {
    if (output.black != nullptr) {
        wl_buffer_destroy(output.black);
    }
    output.black = MakeBlackBuffer(shm_, std::max(output.width, 1), std::max(output.height, 1));
    if (output.black == nullptr) {
        Report("cannot make a black buffer");
        return;
    }
    wl_buffer_add_listener(output.black, &WindowListenersWayland::buffer, nullptr);
    wl_surface_attach(output.surface, output.black, 0, 0);
    wl_surface_damage(output.surface, 0, 0, output.width, output.height);
    wl_surface_commit(output.surface);
}

// The animated surface at its configured size times the output's scale; the scene follows a
// new size once it is set up.
void RendererWindowWayland::MakeAnimated(Output& output) {
    const int32_t width = std::max(output.width, 1) * output.bufferScale;
    const int32_t height = std::max(output.height, 1) * output.bufferScale;
    if (eglWindow_ == nullptr) {
        eglWindow_ = wl_egl_window_create(output.surface, width, height);
        eglSurface_ = eglCreateWindowSurface(
            eglDisplay_, config_, reinterpret_cast<EGLNativeWindowType>(eglWindow_), nullptr);
        if (eglSurface_ == EGL_NO_SURFACE) {
            ReportRendererFailure("EGL", "cannot create the window surface");
        } else if (context_ != EGL_NO_CONTEXT &&
                   !eglMakeCurrent(eglDisplay_, eglSurface_, eglSurface_, context_)) {
            ReportRendererFailure("EGL", "cannot make the context current");
        }
        // The loop paces itself by frame callbacks; a swap must never wait for the compositor.
        eglSwapInterval(eglDisplay_, 0);
    } else if (width != width_ || height != height_) {
        wl_egl_window_resize(eglWindow_, width, height, 0, 0);
    }
    if ((width != width_ || height != height_) && sceneReady_) {
        ResizeScene(width, height);
    }
    width_ = width;
    height_ = height;
}

void RendererWindowWayland::DropAnimated() {
    FrameShown();  // a callback of a surface that goes never comes
    if (eglDisplay_ != EGL_NO_DISPLAY) {
        // Surfaceless: the scene's context lives on for the next primary output.
        eglMakeCurrent(eglDisplay_, EGL_NO_SURFACE, EGL_NO_SURFACE, context_);
    }
    if (eglSurface_ != EGL_NO_SURFACE) {
        eglDestroySurface(eglDisplay_, eglSurface_);
        eglSurface_ = EGL_NO_SURFACE;
    }
    if (eglWindow_ != nullptr) {
        wl_egl_window_destroy(eglWindow_);
        eglWindow_ = nullptr;
    }
    animated_ = nullptr;
}

void RendererWindowWayland::SurfaceClosed(Output& output) {
    RemoveOutput(&output);
}

// An output gone (or its surface closed by the compositor): its surface goes; when it animated,
// the primary output of those left takes the animation over.
void RendererWindowWayland::RemoveOutput(Output* output) {
    const bool wasAnimated = output == animated_;
    if (wasAnimated) {
        DropAnimated();
    }
    for (auto& seat : seats_) {
        if (seat->pointerOutput == output) {
            seat->pointerOutput = nullptr;
        }
    }
    if (output->layer != nullptr) {
        zwlr_layer_surface_v1_destroy(output->layer);
    }
    if (output->surface != nullptr) {
        ForgetSurface(output->surface);
        wl_surface_destroy(output->surface);
    }
    if (output->black != nullptr) {
        wl_buffer_destroy(output->black);
    }
    if (output->xdgOutput != nullptr) {
        zxdg_output_v1_destroy(output->xdgOutput);
    }
    wl_output_destroy(output->output);
    outputs_.erase(std::find_if(outputs_.begin(), outputs_.end(),
                                [&](const auto& o) { return o.get() == output; }));
    if (wasAnimated && !closed_) {
        ChooseAnimated();
        if (animated_ != nullptr) {
            // Made afresh: a black surface has no scale of its own set.
            Output& next = *animated_;
            if (next.layer != nullptr) {
                zwlr_layer_surface_v1_destroy(next.layer);
                ForgetSurface(next.surface);
                wl_surface_destroy(next.surface);
                next.layer = nullptr;
                next.surface = nullptr;
            }
            if (next.black != nullptr) {
                wl_buffer_destroy(next.black);
                next.black = nullptr;
            }
            next.width = next.height = 0;
            MakeSurface(next);
            settings_->hwnd = reinterpret_cast<uintptr_t>(next.surface);
        }
    }
}

// The close: every surface goes at once, as the window's destruction does on other systems.
void RendererWindowWayland::CloseWindow() {
    closed_ = true;
    DropAnimated();
    for (auto& output : outputs_) {
        if (output->layer != nullptr) {
            zwlr_layer_surface_v1_destroy(output->layer);
            ForgetSurface(output->surface);
            wl_surface_destroy(output->surface);
            output->layer = nullptr;
            output->surface = nullptr;
        }
        if (output->black != nullptr) {
            wl_buffer_destroy(output->black);
            output->black = nullptr;
        }
    }
    wl_display_flush(display_);
    titleEntry_.reset();
}

// ---- The loop ----

void RendererWindowWayland::Show(int) {
    sceneReady_ = true;
}

// Everything queued first, then what the socket holds; a frame only when nothing was there and
// the compositor has shown the last one. Waiting for that is waiting on the socket, so input is
// handled meanwhile: an output that shows nothing (disabled, asleep) never holds the loop up.
RendererWindow::Message RendererWindowWayland::HandleNextMessage() {
    for (;;) {
        if (closePending_ && !closed_) {
            CloseWindow();  // the posted close request, acted on when the loop reaches it
        }
        if (closed_ || lost_) {
            return Message::Quit;
        }
        int handled = wl_display_dispatch_pending(display_);
        if (handled == 0) {
            const bool mayDraw = eglSurface_ != EGL_NO_SURFACE && frameCallback_ == nullptr;
            handled = DispatchFromSocket(mayDraw ? 0 : 100000);
        }
        if (handled < 0 || wl_display_get_error(display_) != 0) {
            lost_ = true;  // the compositor went away: the window is gone with it
            return Message::Quit;
        }
        if (handled > 0 || closePending_) {
            return Message::Handled;  // a close is acted on at the next call, before any frame
        }
        if (eglSurface_ != EGL_NO_SURFACE && frameCallback_ == nullptr) {
            return Message::QueueEmpty;
        }
    }
}

// What the socket brings within `timeoutUs` (none when something was queued already),
// dispatched; the count of events, or -1 once the connection is lost.
int RendererWindowWayland::DispatchFromSocket(int64_t timeoutUs) {
    int handled = 0;
    while (wl_display_prepare_read(display_) != 0) {
        handled += std::max(wl_display_dispatch_pending(display_), 0);
    }
    wl_display_flush(display_);
    pollfd socket = {wl_display_get_fd(display_), POLLIN, 0};
    const int64_t wait = handled > 0 ? 0 : timeoutUs;
    const timespec timeout = {static_cast<time_t>(wait / 1000000),
                              static_cast<long>(wait % 1000000) * 1000};
    if (ppoll(&socket, 1, &timeout, nullptr) > 0 && (socket.revents & POLLIN) != 0) {
        if (wl_display_read_events(display_) < 0) {
            lost_ = true;
        }
    } else {
        wl_display_cancel_read(display_);
    }
    const int more = wl_display_dispatch_pending(display_);
    return more < 0 ? more : handled + more;
}

// No frame due yet: input is handled meanwhile, as HandleNextMessage handles it.
void RendererWindowWayland::WaitForMessage(int64_t timeoutUs) {
    if (!closed_ && !lost_ && wl_display_dispatch_pending(display_) == 0 &&
        DispatchFromSocket(timeoutUs) < 0) {
        lost_ = true;
    }
}

void RendererWindowWayland::SwapBuffers() {
    if (eglSurface_ == EGL_NO_SURFACE) {
        return;
    }
    // Asked before the swap, whose commit carries it.
    frameCallback_ = wl_surface_frame(animated_->surface);
    wl_callback_add_listener(frameCallback_, &WindowListenersWayland::frame, this);
    eglSwapBuffers(eglDisplay_, eglSurface_);
}

void RendererWindowWayland::FrameShown() {
    if (frameCallback_ != nullptr) {
        wl_callback_destroy(frameCallback_);
        frameCallback_ = nullptr;
    }
}

void RendererWindowWayland::TearDown() {
    if (display_ == nullptr) {
        return;
    }
    if (!closed_ && !lost_) {
        CloseWindow();
    }
    DropAnimated();
    if (eglDisplay_ != EGL_NO_DISPLAY) {
        eglMakeCurrent(eglDisplay_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (context_ != EGL_NO_CONTEXT) {
            eglDestroyContext(eglDisplay_, context_);
        }
        eglTerminate(eglDisplay_);
    }
    context_ = EGL_NO_CONTEXT;
    eglDisplay_ = EGL_NO_DISPLAY;
    ReleaseSeats();
    outputs_.clear();
    titleEntry_.reset();
    wl_display_disconnect(display_);  // the compositor drops every object of ours with it
    display_ = nullptr;
}

}  // namespace velmoria
