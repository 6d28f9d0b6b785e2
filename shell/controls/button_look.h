// The six looks of the gradient button, one state picture each.
#pragma once

namespace velmoria {

enum class ButtonLook { Normal, HighLight, Selected, HighLightSelect, Pressed, Disable };

constexpr ButtonLook kAllButtonLooks[] = {ButtonLook::Normal,   ButtonLook::HighLight,
                                          ButtonLook::Selected, ButtonLook::HighLightSelect,
                                          ButtonLook::Pressed,  ButtonLook::Disable};

// The picture's name, as the tools and tests print it ("Normal", "HighLight", ...).
const char* ButtonLookName(ButtonLook look);

}  // namespace velmoria
