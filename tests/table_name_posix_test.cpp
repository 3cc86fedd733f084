// Names from a Linux file system, in UTF-8 or not, as the table writes them:
// in Windows-1252, as the Windows build does on a Western system.
#include "runtime/table_name.h"

#include <gtest/gtest.h>

#include <string>

namespace quillmere {
namespace {

TEST(NameInTableTest, WritesUtf8NamesInWindows1252) {
  const struct {
    std::string name;
    std::string inTable;
  } cases[] = {
      {"Buffer05m_D4-Pond", "Buffer05m_D4-Pond"},
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
      // Not UTF-8: single-byte already, kept byte for byte.
      {"Ufer\xe9", "Ufer\xe9"},
      {"\xc3\x28", "\xc3\x28"},                  // a lead byte without its follower
      {"\xc0\xaf", "\xc0\xaf"},                  // an overlong "/"
      {"\xed\xa0\x80", "\xed\xa0\x80"},          // a surrogate
      {"\xf4\x90\x80\x80", "\xf4\x90\x80\x80"},  // past U+10FFFF
      {"Gr\xc3\xb6\xdf"
       "e",
       "Gr\xc3\xb6\xdf"
       "e"},  // UTF-8 and Latin-1 mixed: kept whole
  };
  for (const auto& c : cases) EXPECT_EQ(NameInTable(c.name), c.inTable) << c.name;
}

}  // namespace
}  // namespace quillmere
