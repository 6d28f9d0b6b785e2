#include "shell/controls/command_button.h"

#include <utility>

#include "shell/controls/button_face.h"

namespace velmoria {

namespace {

constexpr const char* kReadCaptionDefault = "Command1";
constexpr const char* kWriteCaptionDefault = "Command";

}  // namespace

CommandButton::CommandButton(CommandButtonView& view, ButtonFont hostFont)
    : view_(view), hostFont_(std::move(hostFont)) {
    label_.font = hostFont_;
}

void CommandButton::SetCaption(const std::string& caption) {
    label_.caption = caption;
    view_.PropertyChanged("Caption");
    view_.LabelChanged();
}

bool CommandButton::Enabled() {
    if (firstRun_ == 0) {
        // A fresh control gets its one-time styling on the first reading.
        ResetLook();
        firstRun_ = 1;
        enabled_ = true;
    }
    ApplyEnabledLook();
    return enabled_;
}

void CommandButton::SetEnabled(bool enabled) {
    enabled_ = enabled;
    view_.PropertyChanged("Enabled");
    ApplyEnabledLook();
}

void CommandButton::SetFont(const ButtonFont& font) {
    label_.font = font;
    view_.PropertyChanged("Font");
    view_.LabelChanged();
}

uint32_t CommandButton::FontColour() {
    const uint32_t colour = label_.colour;
    ResetLook();
    return colour;
}

void CommandButton::SetFontColour(uint32_t colour) {
    label_.colour = colour;
    view_.LabelChanged();
    ResetLook();
    view_.PropertyChanged("FontColour");
}

bool CommandButton::Visible() {
    if (!opaque_) {
        return false;
    }
    ResetLook();
    return true;
}

void CommandButton::SetVisible(bool visible) {
    opaque_ = visible;
    view_.LabelChanged();
    if (visible) {
        ResetLook();
    }
    view_.PropertyChanged("Visible");
}

void CommandButton::Initialize() {
    buttonState_ = 1;
    view_.StartTrackingTimer(kTrackingIntervalMs);
}

void CommandButton::ReadProperties(const ButtonPropertySet& properties) {
    enabled_ = properties.ReadBoolean("Enabled").value_or(true);
    label_.caption = properties.ReadString("Caption").value_or(kReadCaptionDefault);
    label_.font = properties.ReadFont("Font").value_or(hostFont_);
    firstRun_ = properties.ReadByte("FirstRun").value_or(1);
    label_.colour = properties.ReadColour("FontColour").value_or(0);
    opaque_ = properties.ReadInteger("Visible").value_or(1) != 0;
    view_.LabelChanged();
    ResetLook();
}

void CommandButton::WriteProperties(ButtonPropertySet& properties) {
    // An entry equal to its default is left out.
    if (!enabled_) {
        properties.WriteBoolean("Enabled", false);
    }
    if (label_.caption != kWriteCaptionDefault) {
        properties.WriteString("Caption", label_.caption);
    }
    if (firstRun_ != 1) {
        properties.WriteByte("FirstRun", firstRun_);
    }
    if (label_.font != hostFont_) {
        properties.WriteFont("Font", label_.font);
    }
    if (label_.colour != 0) {
        properties.WriteColour("FontColour", label_.colour);
    }
    if (!opaque_) {
        properties.WriteInteger("Visible", 0);
    }
    ResetLook();
}

void CommandButton::MouseDown(MouseButton button) {
    if (!enabled_) {
        return;
    }
    pressedButtons_ |= static_cast<uint8_t>(button);
    if (button != MouseButton::Left) {
        return;
    }
    view_.TakeFocus();
    DrawFace(ButtonLook::Pressed);
    leftButtonDown_ = true;
}

void CommandButton::MouseMove() {
    if (!enabled_) {
        return;
    }
    if (buttonState_ == 1) {
        buttonState_ = 2;
        DrawFace(ButtonLook::HighLight);
    }
    if (buttonState_ == 3 && !leftButtonDown_) {
        buttonState_ = 4;
        DrawFace(ButtonLook::HighLightSelect);
    }
}

void CommandButton::MouseUp(MouseButton button) {
    const bool pressedHere = (pressedButtons_ & static_cast<uint8_t>(button)) != 0;
    pressedButtons_ &= static_cast<uint8_t>(~static_cast<uint8_t>(button));
    if (!enabled_) {
        return;
    }
    if (button == MouseButton::Left) {
        if (buttonState_ == 2) {
            DrawFace(ButtonLook::Normal);
        } else if (buttonState_ == 4) {
            DrawFace(ButtonLook::HighLightSelect);
        }
        leftButtonDown_ = false;
    }
    // A press cancelled by leaving the control has turned state 4 into 3 by now.
    if (pressedHere && buttonState_ != 3) {
        view_.RaiseClick();
    }
}

void CommandButton::FocusGained() {
    if (!enabled_) {
        return;
    }
    if (buttonState_ == 2) {
        buttonState_ = 4;
        DrawFace(ButtonLook::Pressed);
    } else {
        buttonState_ = 3;
        DrawFace(ButtonLook::Selected);
    }
}

void CommandButton::FocusLost() {
    keyDown_ = false;
    if (!enabled_) {
        return;
    }
    if (buttonState_ != 1) {
        buttonState_ = 1;
        DrawFace(ButtonLook::Normal);
    }
}

void CommandButton::Resized(int widthTwips, int heightTwips) {
    widthTwips_ = widthTwips;
    heightTwips_ = heightTwips;
    ApplyEnabledLook();
}

void CommandButton::TrackingTick(PointerOver over) {
    // The caption has no window of its own, so over the caption is over the control.
    if (over != PointerOver::Control) {
        HandleMouseLeave();
    }
}

void CommandButton::KeyDown() {
    if (!enabled_ || keyDown_) {
        return;  // a held key repeats its press
    }
    keyDown_ = true;
    DrawFace(ButtonLook::Pressed);
}

void CommandButton::KeyUp() {
    if (!enabled_ || !keyDown_) {
        return;
    }
    keyDown_ = false;
    DrawFace(buttonState_ == 4 ? ButtonLook::HighLightSelect : ButtonLook::Selected);
    view_.RaiseClick();
}

void CommandButton::KeyActivate() {
    KeyDown();
    KeyUp();
}

void CommandButton::SetDefaultShown(bool shown) {
    if (shown == defaultShown_) {
        return;
    }
    defaultShown_ = shown;
    if (enabled_ && buttonState_ == 1) {
        DrawFace(ButtonLook::Normal);
    }
}

void CommandButton::DrawFace(ButtonLook look) {
    // The default button at rest wears the focused look, as a system default button does.
    if (look == ButtonLook::Normal && defaultShown_ && buttonState_ == 1) {
        look = ButtonLook::Selected;
    }
    // The gradient follows the state; states 4 and 0 keep the last direction.
    if (buttonState_ == 1 || buttonState_ == 3) {
        reverseGradient_ = false;
    } else if (buttonState_ == 2) {
        reverseGradient_ = true;
    }
    view_.DrawFace(look, reverseGradient_);
    label_.topTwips = CaptionTopTwips(heightTwips_);
    view_.LabelChanged();
}

void CommandButton::ApplyEnabledLook() {
    if (enabled_) {
        DrawFace(ButtonLook::Normal);
        label_.enabled = true;
    } else {
        DrawFace(ButtonLook::Disable);
        label_.enabled = false;
    }
    view_.LabelChanged();
}

void CommandButton::ResetLook() {
    if (!enabled_) {
        return;
    }
    label_.enabled = true;
    if (firstRun_ == 0) {
        label_.colour = 0;
    }
    DrawFace(ButtonLook::Normal);
}

void CommandButton::HandleMouseLeave() {
    if (!enabled_) {
        return;
    }
    if (buttonState_ == 2) {
        buttonState_ = 1;
        DrawFace(ButtonLook::Normal);
    } else if (buttonState_ == 4) {
        buttonState_ = 3;
        DrawFace(ButtonLook::Selected);
    }
}

}  // namespace velmoria
