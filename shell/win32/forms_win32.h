// The shell's forms on Windows: top-level windows of one class, created hidden, with their
// timers (SetTimer on the form), their background colour and their one picture, and the message
// loop that runs while one is loaded. A close request, and the end of the user's session
// (WM_ENDSESSION), run the form's unload.
#pragma once

#include <windows.h>

#include "shell/platform.h"

namespace velmoria {

HWND CreateFormWin32(const char* title, uint32_t background, FormEvents* events);
void SetFormTimerWin32(HWND form, int timer, uint32_t intervalMs);
void SetFormPictureWin32(HWND form, int32_t x, int32_t y, PixelImage picture);
// Every form goes and the loop ends; nothing more is dispatched to a form.
void EndProgramWin32();
// GetMessageA and DispatchMessageA while a form is loaded and the program has not ended.
void RunWhileFormsLoadedWin32();

}  // namespace velmoria
