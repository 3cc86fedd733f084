// The Windows side of number.h: the decimal separator of the user's regional
// settings.
#include <windows.h>

#include "runtime/number.h"
#include "runtime/windows_text.h"

namespace quillmere {

std::string LocaleDecimalSeparator() {
  wchar_t separator[8] = {};  // the system allows at most 4 characters
  const int length = ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
  if (length <= 1) return ".";
  const std::string text = Utf8ToAnsiCodePage(WideToUtf8(std::wstring_view(separator, length - 1)));
  return text.empty() ? "." : text;
}

}  // namespace quillmere
