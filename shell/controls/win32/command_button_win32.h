// The gradient button on Windows: a child window of class "Skorvane.Command" that keeps its face
// in a 32-bit bitmap of its own and shows it on paint, with the caption drawn over it.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "shell/controls/command_button.h"
#include "shell/controls/picture.h"

namespace velmoria {

class CommandButtonWin32 final : public CommandButtonView {
  public:
    // Makes the control's window in `parent` at `rect` (pixels) and reads its stored
    // properties. Null when the window could not be made.
    static std::unique_ptr<CommandButtonWin32> Create(HWND parent, const RECT& rect,
                                                      const ButtonPropertySet& properties,
                                                      const ButtonFont& hostFont,
                                                      std::function<void()> onClick);
    ~CommandButtonWin32() override;

    CommandButton& Control() { return control_; }
    HWND Window() const { return window_; }

    void DrawFace(ButtonLook look, bool reverseGradient) override;
    void LabelChanged() override;
    void StartTrackingTimer(int intervalMs) override;
    void TakeFocus() override;
    void RaiseClick() override;

    // Whether the focus rectangle shows while the control has the focus: hidden until the
    // user first moves the focus by keyboard, as Windows hides focus cues.
    void SetFocusCuesShown(bool shown);
    // Who answers WM_GETOBJECT for the window (its wParam and lParam): the host knows what the
    // button stands for. 0 from it leaves the question to the system's standard objects.
    void SetObjectAnswer(std::function<LRESULT(WPARAM, LPARAM)> answer) {
        objectAnswer_ = std::move(answer);
    }

  private:
    CommandButtonWin32(const ButtonFont& hostFont, std::function<void()> onClick);
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void ResizeFace(int width, int height);
    // Takes the display scale of the window the control sits in (a move to a monitor of
    // another DPI changes it); true when it changed.
    bool FollowDpi();
    void Paint();
    void DrawCaption(HDC dc, int width);
    void Track();

    CommandButton control_;
    std::function<void()> onClick_;
    std::function<LRESULT(WPARAM, LPARAM)> objectAnswer_;
    HWND window_ = nullptr;
    HDC faceDc_ = nullptr;
    HBITMAP faceBitmap_ = nullptr;
    HGDIOBJ faceDcOriginal_ = nullptr;
    int faceWidth_ = 0;
    int faceHeight_ = 0;
    HFONT font_ = nullptr;
    ButtonFont fontMadeFrom_;
    int fontDpi_ = 0;
    int dpi_ = 96;
    bool focusCuesShown_ = false;
};

// Draws a whole face (gradient and the picture's eight pieces, no caption) into a device context
// whose top-left pixel is the face's: the control's own drawing, and the face tool's. `ring` is
// FaceRing of the display's DPI.
void PaintFaceGdi(HDC dc, int width, int height, ButtonLook look, bool reverseGradient,
                  int ring = 1);

// Helpers the dialog shares: a 24-bit top-down DIB section holding the picture (null on
// failure); UTF-8, or text in the ANSI code page, to UTF-16; the font at `dpi` dots per inch.
HBITMAP CreateRgbBitmap(const Picture& image);
std::wstring WidenUtf8(const std::string& utf8);
std::wstring WidenAnsi(const std::string& text);
HFONT MakeGdiFont(int dpi, const ButtonFont& font);
// The dots per inch of the monitor a window is on (GetDpiForWindow where Windows has it, else
// the screen's).
int WindowDpi(HWND window);

}  // namespace velmoria
