// Names from a Linux file system as the table writes them: in Windows-1252,
// as the Windows build does on a Western system, or as they are when they
// are not UTF-8 (the conversion itself is code_page_test's).
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "runtime/table_name.h"

namespace quillmere {
namespace {

TEST(NameInTableTest, WritesUtf8NamesInWindows1252AndKeepsOthersByteForByte) {
  const std::pair<std::string, std::string> cases[] = {
      {"Puffer-Gr\xc3\xb6\xc3\x9f"
       "e",
       "Puffer-Gr\xf6\xdf"
       "e"},
      {"\xce\xa9-\xf0\x9f\x98\x80", "?-??"},
      {"Ufer\xe9", "Ufer\xe9"},
      {"Gr\xc3\xb6\xdf"
       "e",
       "Gr\xc3\xb6\xdf"
       "e"},  // UTF-8 and Latin-1 mixed: kept whole
  };
  for (const auto& [name, inTable] : cases) EXPECT_EQ(NameInTable(name), inTable) << name;
}

}  // namespace
}  // namespace quillmere
