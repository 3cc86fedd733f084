// Names and report text between UTF-8 and Windows-1252.
#include "runtime/code_page.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>

namespace quillmere {
namespace {

TEST(CodePageTest, WritesUtf8InWindows1252WithOneQuestionMarkPerMissingUnit) {
  const std::pair<std::string, std::optional<std::string>> cases[] = {
      {"Buffer05m_D4-Pond", "Buffer05m_D4-Pond"},
      {"", ""},
      {"Puffer-Gr\xc3\xb6\xc3\x9f"
       "e",
       "Puffer-Gr\xf6\xdf"
       "e"},
      {"\xc2\xa0\xc3\xbf", "\xa0\xff"},  // the ends of the Latin-1 range
      // The letters Windows-1252 adds over Latin-1: euro, S caron, OE, Y diaeresis.
      {"\xe2\x82\xac \xc5\xa0 \xc5\x92 \xc5\xb8", "\x80 \x8a \x8c \x9f"},
      // No look-alikes: Omega and o macron are no "O" and "o"; Cyrillic is "?".
      {"\xce\xa9 \xc5\x8d \xd0\x9f\xd1\x80\xd1\x83\xd0\xb4", "? ? ????"},
      // One "?" per UTF-16 unit: a character past U+FFFF (an emoji) is two.
      {"run-\xf0\x9f\x98\x80", "run-??"},
      // C1 controls: those Windows-1252 has no character for are "?".
      {"a\xc2\x81\xc2\x9d", "a??"},
      // Not UTF-8 at all.
      {"Ufer\xe9", std::nullopt},
      {"\xc3\x28", std::nullopt},              // a lead byte without its follower
      {"\xc3", std::nullopt},                  // a sequence cut at the end
      {"\xc0\xaf", std::nullopt},              // an overlong "/"
      {"\xe0\x80\xaf", std::nullopt},          // a longer overlong "/"
      {"\xed\xa0\x80", std::nullopt},          // a surrogate
      {"\xf4\x90\x80\x80", std::nullopt},      // past U+10FFFF
      {"\xf8\x88\x80\x80\x80", std::nullopt},  // a five-byte form
      {"Gr\xc3\xb6\xdf"
       "e",
       std::nullopt},  // UTF-8 and Latin-1 mixed
  };
  for (const auto& [utf8, windows1252] : cases) EXPECT_EQ(Utf8ToWindows1252(utf8), windows1252) << utf8;
}

// Both directions read one table: every byte that stands for a character
// comes back from it, and only the five undefined bytes stand for none.
TEST(CodePageTest, EveryDefinedByteComesBackAndTheFiveUndefinedOnesAreReplaced) {
  for (unsigned byte = 0; byte < 256; ++byte) {
    const char32_t character = FromWindows1252(static_cast<unsigned char>(byte));
    const bool undefined = byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
    if (undefined) {
      EXPECT_EQ(character, kReplacementCharacter) << byte;
      continue;
    }
    EXPECT_EQ(ToWindows1252(character), static_cast<char>(byte)) << byte;
    std::string utf8;
    AppendUtf8(utf8, character);
    EXPECT_EQ(DecodeUtf8(utf8), std::make_pair(character, utf8.size())) << byte;
  }
  EXPECT_EQ(ToWindows1252(kReplacementCharacter), std::nullopt);
}

}  // namespace
}  // namespace quillmere
