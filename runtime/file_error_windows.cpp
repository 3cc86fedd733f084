#include <windows.h>

#include <string>
#include <utility>

#include "runtime/file_error.h"
#include "runtime/windows_text.h"

namespace quillmere {

namespace {

// The system's own words for `errorCode`, in the user's language, made to
// follow "<action>: " on one line: line breaks become spaces and the closing
// period and line break go.
std::string SystemText(DWORD errorCode) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
      errorCode, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  const std::wstring message = length > 0 && text != nullptr ? std::wstring(text, length) : std::wstring();
  if (text != nullptr) ::LocalFree(text);
  std::wstring line;
  line.reserve(message.size());
  for (const wchar_t c : message) {
    const bool space = c == L'\r' || c == L'\n' || c == L'\t' || c == L' ';
    if (space && (line.empty() || line.back() == L' ')) continue;
    line += space ? L' ' : c;
  }
  while (!line.empty() && line.back() == L' ') line.pop_back();
  // One closing period; an ellipsis or any other ending stays.
  if (line.size() > 1 && line.back() == L'.' && line[line.size() - 2] != L'.') line.pop_back();
  if (line.empty()) return "system error " + std::to_string(errorCode);
  return WideToUtf8(line);
}

std::string Explanation(DWORD errorCode) {
  switch (errorCode) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      // The system's words ("being used by another process") do not say
      // what to do; Excel keeps the files it shows open.
      return "the file is open in another program; close it there and try again";
    default:
      return SystemText(errorCode);
  }
}

}  // namespace

FileError WindowsError(std::string path, const std::string& action, unsigned long errorCode) {
  const bool held = errorCode == ERROR_SHARING_VIOLATION || errorCode == ERROR_LOCK_VIOLATION;
  return FileError(std::move(path), action + ": " + Explanation(errorCode),
                   held ? FileErrorKind::kHeldOpen : FileErrorKind::kSystem);
}

}  // namespace quillmere
