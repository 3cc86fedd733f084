// What differs between the systems in the paths a run builds and in the
// messages it gives.
#pragma once

#include <string_view>

namespace quillmere {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
// Every character that parts a folder from the name after it.
inline constexpr std::string_view kPathSeparators = "\\/";
// Line break inside a message, as a Windows message box and console take it.
inline constexpr std::string_view kMessageLineBreak = "\r\n";
#else
inline constexpr char kPathSeparator = '/';
inline constexpr std::string_view kPathSeparators = "/";
inline constexpr std::string_view kMessageLineBreak = "\n";
#endif

}  // namespace quillmere
