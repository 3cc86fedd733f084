#include "runtime/windows_text.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <climits>
#include <vector>

namespace quillmere {

namespace {

// Paths at least this long get the "\\?\" prefix: a folder's own path must
// leave room for a file name of 8.3 characters below MAX_PATH.
constexpr std::size_t kLongPath = MAX_PATH - 12;

int Size(std::size_t size) { return size > INT_MAX ? INT_MAX : static_cast<int>(size); }

std::wstring MultiByteToWide(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  const int length = ::MultiByteToWideChar(codePage, 0, text.data(), Size(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) ::MultiByteToWideChar(codePage, 0, text.data(), Size(text.size()), wide.data(), length);
  return wide;
}

std::string WideToMultiByte(UINT codePage, DWORD flags, const char* defaultChar, std::wstring_view text) {
  if (text.empty()) return {};
  const int length = ::WideCharToMultiByte(codePage, flags, text.data(), Size(text.size()), nullptr, 0,
                                           defaultChar, nullptr);
  std::string bytes(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  if (length > 0) {
    ::WideCharToMultiByte(codePage, flags, text.data(), Size(text.size()), bytes.data(), length, defaultChar,
                          nullptr);
  }
  return bytes;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

}  // namespace

std::wstring Utf8ToWide(std::string_view text) { return MultiByteToWide(CP_UTF8, text); }

std::string WideToUtf8(std::wstring_view text) { return WideToMultiByte(CP_UTF8, 0, nullptr, text); }

std::wstring WidePath(std::string_view path) {
  std::wstring wide = Utf8ToWide(path);
  for (wchar_t& c : wide) {
    if (c == L'/') c = L'\\';
  }
  if (wide.size() < kLongPath || wide.starts_with(L"\\\\?\\")) return wide;

  // GetFullPathNameW makes the path absolute and folds "." , ".." and
  // doubled separators, which "\\?\" paths are not spared.
  std::vector<wchar_t> full(wide.size() + MAX_PATH);
  DWORD length = ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length >= full.size()) {
    full.resize(length + 1);
    length = ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
  }
  if (length == 0 || length >= full.size()) return wide;
  std::wstring absolute(full.data(), length);
  if (absolute.size() > 2 && IsSeparator(absolute[0]) && IsSeparator(absolute[1])) {
    return L"\\\\?\\UNC\\" + absolute.substr(2);  // \\server\share\...
  }
  return L"\\\\?\\" + absolute;
}

std::string Utf8ToAnsiCodePage(std::string_view text) {
  // A system whose ANSI code page is UTF-8 lacks no character.
  if (::GetACP() == CP_UTF8) return std::string(text);
  // No "best fit": a character the code page lacks becomes "?", never a
  // look-alike that names a different file.
  return WideToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, "?", Utf8ToWide(text));
}

}  // namespace quillmere
