// Windows only: the one boundary between the UTF-8 text the core works in and
// the UTF-16 text of the Windows API.
#pragma once

#include <string>
#include <string_view>

namespace quillmere {

// `text` (UTF-8) as UTF-16; invalid bytes become U+FFFD.
std::wstring Utf8ToWide(std::string_view text);

// `text` (UTF-16) as UTF-8; unpaired surrogates become U+FFFD.
std::string WideToUtf8(std::wstring_view text);

// `path` (UTF-8) as the UTF-16 path to hand to a wide file function: always
// absolute with the "\\?\" prefix ("\\?\UNC\server\share\..." for a network
// path), which lifts the limit of 260 characters and keeps every name as it
// is, a trailing dot or space included (folders named "run." on a network
// share or by WSL). "/" is taken as "\"; a relative path is made absolute
// against the current directory (of its drive, for "D:runs"); doubled
// separators, "." and ".." are folded as NormalPath (runtime/path.h) folds
// them, as Windows does for a plain path. A path that already has the prefix
// is kept.
std::wstring WidePath(std::string_view path);

// `text` (UTF-8) in the system's ANSI code page (Windows-1252 on Western
// systems); a character that code page lacks becomes "?".
std::string Utf8ToAnsiCodePage(std::string_view text);

}  // namespace quillmere
