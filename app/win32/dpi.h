// The window's density: the per-monitor DPI functions of Windows 10 where
// the system has them, and on older systems the whole screen's density and
// the classic functions.
#pragma once

#include <windows.h>

namespace quillmere {

// The dots per inch `window` is drawn at.
UINT DotsPerInchOf(HWND window);

// Grows the client area `rect` into the frame of a window of `style` and
// `exStyle` (without a menu) at `dotsPerInch`.
void AdjustFrameRect(RECT& rect, DWORD style, DWORD exStyle, UINT dotsPerInch);

// The font of message boxes at `dotsPerInch`.
LOGFONTW MessageFontAt(UINT dotsPerInch);

}  // namespace quillmere
