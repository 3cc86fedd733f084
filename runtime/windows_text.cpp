#include "runtime/windows_text.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <vector>

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

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

}  // namespace

std::wstring Utf8ToWide(std::string_view text) { return MultiByteToWide(CP_UTF8, text); }

std::string WideToUtf8(std::wstring_view text) { return WideToMultiByte(CP_UTF8, 0, nullptr, text); }

std::wstring WidePath(std::string_view path) {
  std::wstring wide = Utf8ToWide(path);
  for (wchar_t& c : wide) {
    if (c == L'/') c = L'\\';
  }
  // "\\?\" and device ("\\.\") paths are taken as they are.
  if (wide.starts_with(L"\\\\?\\") || wide.starts_with(L"\\\\.\\")) return wide;

  // The root, "\\?\C:\" or "\\?\UNC\server\share\", and the parts
  // below it; a relative path starts from the current directory (of its
  // drive, for "D:runs"), a path from "\" at the current drive's root.
  std::wstring absolute;
  if (wide.size() >= 2 && IsSeparator(wide[0]) && IsSeparator(wide[1])) {
    absolute = wide;
  } else if (wide.size() >= 3 && wide[1] == L':' && IsSeparator(wide[2])) {
    absolute = wide;
  } else {
    // The current directory, already absolute and in its normal form; for
    // "D:runs" the one of drive D:, which GetFullPathNameW("D:") gives.
    const bool onDrive = wide.size() >= 2 && wide[1] == L':';
    const std::wstring base = onDrive ? wide.substr(0, 2) : std::wstring(L".");
    std::vector<wchar_t> full(MAX_PATH);
    DWORD length = ::GetFullPathNameW(base.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (length >= full.size()) {
      full.resize(length + 1);
      length = ::GetFullPathNameW(base.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    if (length == 0 || length >= full.size()) return wide;
    std::wstring current(full.data(), length);
    if (current.starts_with(L"\\\\?\\UNC\\")) {
      current = L"\\\\" + current.substr(8);
    } else if (current.starts_with(L"\\\\?\\")) {
      current = current.substr(4);
    }
    std::wstring rest = onDrive ? wide.substr(2) : wide;
    if (!rest.empty() && IsSeparator(rest[0])) {
      // "\runs": from the root of the current directory's drive or share.
      std::size_t rootEnd = 2;  // "C:"
      if (current.starts_with(L"\\\\")) {
        const std::size_t server = current.find(L'\\', 2);
        const std::size_t share = server == std::wstring::npos ? server : current.find(L'\\', server + 1);
        rootEnd = share == std::wstring::npos ? current.size() : share;
      }
      current.resize(std::min(rootEnd, current.size()));
    }
    absolute = current + L"\\" + rest;
  }

  std::wstring result;
  std::size_t next;
  if (absolute.starts_with(L"\\\\")) {
    // \\server\share: both stay parts of the root, which ".." never leaves.
    result = L"\\\\?\\UNC\\";
    next = 2;
    for (int part = 0; part < 2; ++part) {
      while (next < absolute.size() && IsSeparator(absolute[next])) ++next;
      const std::size_t end = std::min(absolute.find(L'\\', next), absolute.size());
      if (end > next) {
        result.append(absolute, next, end - next);
        result += L'\\';
      }
      next = end;
    }
  } else {
    result = L"\\\\?\\" + absolute.substr(0, 2) + L"\\";
    next = 2;
  }
  // The parts, with doubled separators, "." and ".." folded as Windows does,
  // but each name kept whole: a trailing dot or space is part of the name.
  const std::size_t rootSize = result.size();
  while (next < absolute.size()) {
    const std::size_t end = std::min(absolute.find(L'\\', next), absolute.size());
    const std::wstring_view part = std::wstring_view(absolute).substr(next, end - next);
    next = end + 1;
    if (part.empty() || part == L".") continue;
    if (part == L"..") {
      if (result.size() > rootSize) {
        result.resize(result.size() - 1);  // the "\" after the last part
        result.resize(std::max(result.rfind(L'\\') + 1, rootSize));
      }
      continue;
    }
    result += part;
    result += L'\\';
  }
  if (result.size() > rootSize) result.pop_back();
  return result;
}

std::string Utf8ToAnsiCodePage(std::string_view text) {
  // A system whose ANSI code page is UTF-8 lacks no character.
  if (::GetACP() == CP_UTF8) return std::string(text);
  // No "best fit": a character the code page lacks becomes "?", never a
  // look-alike that names a different file.
  return WideToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, "?", Utf8ToWide(text));
}

}  // namespace quillmere
