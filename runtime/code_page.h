// The two encodings names and report text come in: UTF-8, as file systems
// give names, and Windows-1252, the code page of the reports and of the
// table. Both are converted here, and nowhere else.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace quillmere {

// The character that stands for what cannot be shown or held.
inline constexpr char32_t kReplacementCharacter = 0xFFFD;

// The character of the Windows-1252 byte `byte`; U+FFFD for the five bytes
// that code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D).
char32_t FromWindows1252(unsigned char byte);

// The Windows-1252 byte of `character`, or nothing when that code page lacks
// it (no look-alikes: an Omega is not an "O").
std::optional<char> ToWindows1252(char32_t character);

// The character of the valid UTF-8 sequence at the start of `text` and its
// length in bytes; a length of 0 when no valid sequence starts there (an
// empty text, an overlong form, a surrogate, a value past U+10FFFF, a cut
// sequence).
std::pair<char32_t, std::size_t> DecodeUtf8(std::string_view text);

// Appends `character` (at most U+10FFFF, no surrogate) to `out` as UTF-8.
void AppendUtf8(std::string& out, char32_t character);

// `text` in Windows-1252 if all of it is valid UTF-8, with one "?" per
// UTF-16 unit for a character that code page lacks (two for a character past
// U+FFFF); nothing when `text` is not valid UTF-8.
std::optional<std::string> Utf8ToWindows1252(std::string_view text);

}  // namespace quillmere
