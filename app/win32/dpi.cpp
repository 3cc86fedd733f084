#include "app/win32/dpi.h"

namespace quillmere {

namespace {

struct DpiFunctions {
  using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
  using AdjustWindowRectExForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  using SystemParametersInfoForDpiFunction = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
  GetDpiForWindowFunction getDpiForWindow = nullptr;
  AdjustWindowRectExForDpiFunction adjustWindowRectExForDpi = nullptr;
  SystemParametersInfoForDpiFunction systemParametersInfoForDpi = nullptr;

  DpiFunctions() {
    if (HMODULE user32 = GetModuleHandleW(L"user32.dll")) {
      getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
          reinterpret_cast<void*>(GetProcAddress(user32, "GetDpiForWindow")));
      adjustWindowRectExForDpi = reinterpret_cast<AdjustWindowRectExForDpiFunction>(
          reinterpret_cast<void*>(GetProcAddress(user32, "AdjustWindowRectExForDpi")));
      systemParametersInfoForDpi = reinterpret_cast<SystemParametersInfoForDpiFunction>(
          reinterpret_cast<void*>(GetProcAddress(user32, "SystemParametersInfoForDpi")));
    }
  }
};

const DpiFunctions& Functions() {
  static const DpiFunctions functions;
  return functions;
}

}  // namespace

UINT DotsPerInchOf(HWND window) {
  if (Functions().getDpiForWindow != nullptr) return Functions().getDpiForWindow(window);
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

void AdjustFrameRect(RECT& rect, DWORD style, DWORD exStyle, UINT dotsPerInch) {
  if (Functions().adjustWindowRectExForDpi != nullptr) {
    Functions().adjustWindowRectExForDpi(&rect, style, FALSE, exStyle, dotsPerInch);
  } else {
    AdjustWindowRectEx(&rect, style, FALSE, exStyle);
  }
}

LOGFONTW MessageFontAt(UINT dotsPerInch) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (Functions().systemParametersInfoForDpi != nullptr &&
      Functions().systemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0,
                                             dotsPerInch)) {
    return metrics.lfMessageFont;
  }
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
  metrics.lfMessageFont.lfHeight = -MulDiv(9, static_cast<int>(dotsPerInch), 72);
  return metrics.lfMessageFont;
}

}  // namespace quillmere
