#include "runtime/text.h"

#include <gtest/gtest.h>

namespace quillmere {
namespace {

TEST(FindTest, GivesTheColumnOfTheFirstOccurrenceOrZero) {
  EXPECT_EQ(Find("Global max    5.3", "Global max "), 1u);
  EXPECT_EQ(Find("xx Global max", "Global max"), 4u);
  EXPECT_EQ(Find("Global maximum", "Global max "), 0u);
  EXPECT_EQ(Find("global max ", "Global max "), 0u) << "markers are case-sensitive";
  EXPECT_EQ(Find("", "x"), 0u);
}

TEST(CutTest, CutsByteColumnsAndIsEmptyPastTheEnd) {
  struct Case {
    std::string_view line;
    std::size_t start, count;
    std::string_view expected;
  } cases[] = {
      {"    1   14-Nov-1978-09h00   1000", 9, 17, "14-Nov-1978-09h00"},
      {"    1   14-Nov", 9, 17, "14-Nov"},  // a short line gives what there is
      {"    1   ", 9, 17, ""},              // start just past the end
      {"", 9, 17, ""},
      {"abc", 3, 5, "c"},
      {"abc", 4, 5, ""},
      {"\xb5g.L-1", 1, 2, "\xb5g"},  // Latin-1 bytes are single columns
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Cut(c.line, c.start, c.count), c.expected) << c.line << " from " << c.start;
  }
  EXPECT_EQ(Cut("* Table: PEC in water layer of substance: EXSW2", 43), "EXSW2");
  EXPECT_EQ(Cut("short", 43), "");
}

TEST(TrimTest, RemovesSpacesOnlyAtBothEnds) {
  EXPECT_EQ(Trim("  39.57  "), "39.57");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(Trim("\t1 2\t"), "\t1 2\t") << "tabs are not spaces";
}

TEST(CaseFoldingTest, FoldsAsciiLettersOnly) {
  EXPECT_TRUE(EqualsIgnoringCase("TOXSWA", "toxswa"));
  EXPECT_FALSE(EqualsIgnoringCase("toxswa ", "toxswa"));
  EXPECT_FALSE(EqualsIgnoringCase("\xc4", "\xe4")) << "Latin-1 letters are not folded";
  EXPECT_TRUE(EndsWithIgnoringCase("run.SUM", ".sum"));
  EXPECT_FALSE(EndsWithIgnoringCase("sum", ".sum"));
  EXPECT_FALSE(EndsWithIgnoringCase("run.sum.bak", ".sum"));
}

TEST(VisibleTest, EscapesControlBytesOnly) {
  const std::pair<std::string, std::string> cases[] = {
      {"runs/R1 Stream", "runs/R1 Stream"},
      {"a\tb\r\nc", "a\\tb\\r\\nc"},
      {"\x1b[2J\x07", "\\x1b[2J\\x07"},
      {std::string("\0\x1f\x7f", 3), "\\x00\\x1f\\x7f"},
      {"C:\\runs \xe4\xc3\xa4", "C:\\runs \xe4\xc3\xa4"},  // backslashes and non-ASCII bytes stay
      // The C1 controls in UTF-8: CSI (U+009B), the first and the last.
      {"a\xc2\x9b"
       "2Jb",
       "a\\xc2\\x9b2Jb"},
      {"\xc2\x80\xc2\x9f", "\\xc2\\x80\\xc2\\x9f"},
      {"\xc2\xa0\xc2\xb5 \xc3\x9f", "\xc2\xa0\xc2\xb5 \xc3\x9f"},  // no-break space, micro, sharp s stay
      {"end\xc2", "end\xc2"},                                      // a lead byte alone stays
  };
  for (const auto& [text, visible] : cases) EXPECT_EQ(Visible(text), visible) << visible;
}

}  // namespace
}  // namespace quillmere
