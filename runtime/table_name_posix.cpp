#include <array>
#include <cstdint>
#include <optional>

#include "runtime/table_name.h"

namespace quillmere {

namespace {

// Windows-1252 bytes 0x80 to 0x9F and the characters they stand for. The
// five bytes Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// are missing, so that a reader decoding the table as Windows-1252 never
// meets a byte it refuses.
constexpr std::array<std::uint16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::optional<char> InWindows1252(char32_t character) {
  if (character < 0x80 || (character >= 0xA0 && character <= 0xFF)) return static_cast<char>(character);
  for (std::size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] != 0 && kHighControls[i] == character) return static_cast<char>(0x80 + i);
  }
  return std::nullopt;
}

// The characters of `text` if it is well-formed UTF-8 (no overlong forms, no
// surrogates, nothing past U+10FFFF); nothing otherwise.
std::optional<std::u32string> DecodeUtf8(std::string_view text) {
  std::u32string characters;
  characters.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    char32_t character = 0;
    char32_t least = 0;
    if (lead < 0x80) {
      length = 1;
      character = lead;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      character = lead & 0x1F;
      least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      character = lead & 0x0F;
      least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      character = lead & 0x07;
      least = 0x10000;
    } else {
      return std::nullopt;
    }
    if (text.size() - i < length) return std::nullopt;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<unsigned char>(text[i + k]);
      if ((next & 0xC0) != 0x80) return std::nullopt;
      character = (character << 6) | (next & 0x3F);
    }
    if (character < least || character > 0x10FFFF || (character >= 0xD800 && character <= 0xDFFF)) {
      return std::nullopt;
    }
    characters += character;
    i += length;
  }
  return characters;
}

}  // namespace

// Listings give names as the file system holds them, nearly always UTF-8.
// They are written in Windows-1252, as the Windows build writes them on a
// Western system, so that the table has one encoding with the reports' own
// text. A character Windows-1252 lacks is one "?" per UTF-16 unit (two for a
// character beyond U+FFFF), never a look-alike; a name that is not UTF-8 is
// taken to be single-byte already and kept.
std::string NameInTable(std::string_view name) {
  const std::optional<std::u32string> characters = DecodeUtf8(name);
  if (!characters) return std::string(name);
  std::string bytes;
  bytes.reserve(characters->size());
  for (const char32_t character : *characters) {
    if (const std::optional<char> byte = InWindows1252(character)) {
      bytes += *byte;
    } else {
      bytes += character > 0xFFFF ? "??" : "?";
    }
  }
  return bytes;
}

}  // namespace quillmere
