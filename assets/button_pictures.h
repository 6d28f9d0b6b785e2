// The gradient button's six state pictures, 64 x 25 pixels each, drawn by code. Only their outer
// 4-pixel ring is ever shown: ring 1 is the outermost, one pixel wide, then rings 2, 3 and 4.
#pragma once

#include "shell/controls/button_look.h"
#include "shell/controls/picture.h"

namespace velmoria {

Picture MakeButtonPicture(ButtonLook look);

}  // namespace velmoria
