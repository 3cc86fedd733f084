#include "runtime/windows_text.h"

#include <windows.h>

#include <climits>
#include <vector>

#include "runtime/path.h"

namespace quillmere {

namespace {

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

}  // namespace

std::wstring Utf8ToWide(std::string_view text) { return MultiByteToWide(CP_UTF8, text); }

std::string WideToUtf8(std::wstring_view text) { return WideToMultiByte(CP_UTF8, 0, nullptr, text); }

namespace {

// The full path Windows makes of `path` (a drive, "D:", or "."): the current
// directory, of that drive for "D:", without a "\\?\" prefix. Empty when
// Windows gives none.
std::string FullPathOf(const wchar_t* path) {
  std::vector<wchar_t> full(MAX_PATH);
  DWORD length = ::GetFullPathNameW(path, static_cast<DWORD>(full.size()), full.data(), nullptr);
  if (length >= full.size()) {
    full.resize(length + 1);
    length = ::GetFullPathNameW(path, static_cast<DWORD>(full.size()), full.data(), nullptr);
  }
  if (length == 0 || length >= full.size()) return {};
  std::wstring current(full.data(), length);
  if (current.starts_with(L"\\\\?\\UNC\\")) {
    current = L"\\\\" + current.substr(8);
  } else if (current.starts_with(L"\\\\?\\")) {
    current = current.substr(4);
  }
  return WideToUtf8(current);
}

}  // namespace

std::wstring WidePath(std::string_view path) {
  std::string text(path);
  for (char& c : text) {
    if (c == '/') c = '\\';
  }
  // "\\?\" and device ("\\.\") paths are taken as they are.
  if (text.starts_with("\\\\?\\") || text.starts_with("\\\\.\\")) return Utf8ToWide(text);

  // A relative path starts from the current directory; "D:runs" from the
  // one of drive D:, which GetFullPathNameW("D:") gives.
  std::string_view rest = text;
  std::string current;
  const bool onDrive = text.size() >= 2 && text[1] == ':';
  const bool absolute = (onDrive && text.size() >= 3 && text[2] == '\\') || text.starts_with("\\\\");
  if (!absolute) {
    current = FullPathOf(onDrive ? Utf8ToWide(text.substr(0, 2)).c_str() : L".");
    if (current.empty()) return Utf8ToWide(text);
    if (onDrive) rest.remove_prefix(2);
  }
  // Doubled separators, "." and ".." folded as Windows does for a plain
  // path, but each name kept whole: a trailing dot or space is part of it.
  const PathParts parts = SplitPath(PathStyle::kWindows, rest, current);
  std::string prefixed =
      parts.root.starts_with("\\\\") ? "\\\\?\\UNC\\" + parts.root.substr(2) : "\\\\?\\" + parts.root;
  for (std::size_t i = 0; i < parts.names.size(); ++i) {
    if (i > 0) prefixed += '\\';
    prefixed += parts.names[i];
  }
  return Utf8ToWide(prefixed);
}

std::string Utf8ToAnsiCodePage(std::string_view text) {
  // A system whose ANSI code page is UTF-8 lacks no character.
  if (::GetACP() == CP_UTF8) return std::string(text);
  // No "best fit": a character the code page lacks becomes "?", never a
  // look-alike that names a different file.
  return WideToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, "?", Utf8ToWide(text));
}

}  // namespace quillmere
