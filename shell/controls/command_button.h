// The gradient push button "Skorvane.Command": its properties, its state machine and the rules
// that pick the look drawn. The control's window (Win32 or GTK) reports its events here and
// draws what it is told through CommandButtonView.
#pragma once

#include <cstdint>
#include <string>

#include "shell/controls/button_look.h"
#include "shell/controls/button_properties.h"

namespace velmoria {

enum class MouseButton : uint8_t { Left = 1, Right = 2, Middle = 4 };

// What lies under the cursor at a tracking tick.
enum class PointerOver { Control, ParentForm, Elsewhere };

// The caption label laid over the face: it spans the control's width and keeps its height.
struct CaptionLabel {
    std::string caption;
    ButtonFont font;
    uint32_t colour = 0;  // 0x00BBGGRR, as the host sets it
    bool enabled = true;  // greyed when false
    double topTwips = 0;
};

// What the control asks of its window. A call on a window that is not there yet does nothing.
class CommandButtonView {
  public:
    virtual ~CommandButtonView() = default;
    // Clears the face, fills the gradient, paints the picture's eight pieces and shows the
    // result. Only this changes the face.
    virtual void DrawFace(ButtonLook look, bool reverseGradient) = 0;
    // The caption label or the background style changed: show them again over the same face.
    virtual void LabelChanged() = 0;
    virtual void StartTrackingTimer(int intervalMs) = 0;
    // A left press takes the keyboard focus; FocusGained follows when the focus arrives.
    virtual void TakeFocus() = 0;
    virtual void RaiseClick() = 0;
    // A property set by the host no longer matches the stored set.
    virtual void PropertyChanged(const char* name) { (void)name; }
};

class CommandButton {
  public:
    static constexpr int kTrackingIntervalMs = 100;

    CommandButton(CommandButtonView& view, ButtonFont hostFont);

    // ---- Properties, with the side effects the host sees ----
    const std::string& Caption() const { return label_.caption; }
    void SetCaption(const std::string& caption);
    bool Enabled();  // may style a fresh control once, and redraws
    void SetEnabled(bool enabled);
    const ButtonFont& Font() const { return label_.font; }
    void SetFont(const ButtonFont& font);
    uint32_t FontColour();  // redraws
    void SetFontColour(uint32_t colour);
    bool Visible();  // redraws when visible
    void SetVisible(bool visible);

    // State 1 and the tracking timer; the host calls it once, while its form loads.
    void Initialize();

    // ---- The stored property set ----
    void ReadProperties(const ButtonPropertySet& properties);
    void WriteProperties(ButtonPropertySet& properties);

    // ---- Events of the control's window ----
    void MouseDown(MouseButton button);
    void MouseMove();
    // Only for a press that the control saw; the window keeps the mouse until the release.
    void MouseUp(MouseButton button);
    void FocusGained();
    void FocusLost();
    void Resized(int widthTwips, int heightTwips);
    void TrackingTick(PointerOver over);

    // ---- The keyboard, as system push buttons answer it ----
    // Space: pressed while the key is down, a click at its release. Focus lost in between
    // cancels the press without a click.
    void KeyDown();
    void KeyUp();
    // Return: the press and the click at once.
    void KeyActivate();
    // The dialog's default button shows that it is while no other button has the focus: its
    // resting look is then the focused one (Selected) instead of Normal.
    void SetDefaultShown(bool shown);
    bool DefaultShown() const { return defaultShown_; }
    bool KeyPressed() const { return keyDown_; }

    // ---- What the window draws from ----
    uint8_t ButtonState() const { return buttonState_; }
    bool ReverseGradient() const { return reverseGradient_; }
    bool LeftButtonDown() const { return leftButtonDown_; }
    uint8_t FirstRun() const { return firstRun_; }
    bool EnabledField() const { return enabled_; }  // without the getter's side effects
    bool Opaque() const { return opaque_; }
    const CaptionLabel& Label() const { return label_; }
    int WidthTwips() const { return widthTwips_; }
    int HeightTwips() const { return heightTwips_; }

  private:
    void DrawFace(ButtonLook look);
    void ApplyEnabledLook();
    void ResetLook();
    void HandleMouseLeave();

    CommandButtonView& view_;
    ButtonFont hostFont_;
    CaptionLabel label_;
    uint8_t buttonState_ = 0;
    bool enabled_ = false;
    uint8_t firstRun_ = 0;
    bool reverseGradient_ = false;
    bool leftButtonDown_ = false;
    bool opaque_ = true;
    bool keyDown_ = false;
    bool defaultShown_ = false;
    uint8_t pressedButtons_ = 0;  // buttons pressed on the control and not yet released
    int widthTwips_ = 0;
    int heightTwips_ = 0;
};

}  // namespace velmoria
