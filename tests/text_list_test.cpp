#include "summary/text_list.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace quillmere {
namespace {

std::vector<std::string> All(const TextList& list) {
  return std::vector<std::string>(list.begin(), list.end());
}

// Lengths around the steps of the length prefix (one byte up to 127, two up
// to 16383, three beyond), and bytes a separator-based list could not hold.
const std::vector<std::string>& Texts() {
  static const std::vector<std::string> texts = {
      "",
      "25-Nov-1978-02h00",
      std::string("a\0b\nc\r\x80\xff", 8),
      std::string(127, 'x'),
      std::string(128, 'y'),
      std::string(16383, 'z'),
      std::string(16384, '\x80'),
      std::string(300000, 'n'),
      "",
  };
  return texts;
}

TEST(TextListTest, GivesBackEveryTextByItsOffsetAndInOrder) {
  TextList list;
  std::vector<TextList::Offset> offsets;
  for (const std::string& text : Texts()) offsets.push_back(list.Append(text));
  ASSERT_EQ(list.size(), Texts().size());
  for (std::size_t i = 0; i < offsets.size(); ++i) {
    EXPECT_EQ(list.At(offsets[i]), Texts()[i]) << "text " << i << " of " << Texts()[i].size() << " bytes";
  }
  EXPECT_EQ(All(list), Texts());
  EXPECT_EQ(list.At(TextList::kNone), "");
}

TEST(TextListTest, CopiesAndMovesAreIndependentAndClearForgets) {
  TextList list;
  const TextList::Offset first = list.Append("first");
  TextList copy = list;
  list.Append(std::string(2 * 1024 * 1024, 'L'));  // past what Clear keeps
  EXPECT_EQ(copy.size(), 1u);
  EXPECT_EQ(copy.At(first), "first");
  TextList moved = std::move(list);
  EXPECT_EQ(moved.size(), 2u);
  EXPECT_EQ(moved.At(first), "first");
  copy = moved;
  EXPECT_EQ(All(copy), All(moved));

  moved.Clear();
  EXPECT_TRUE(moved.empty());
  EXPECT_EQ(moved.begin(), moved.end());
  EXPECT_EQ(moved.Append("again"), 0u);
  EXPECT_EQ(All(moved), std::vector<std::string>{"again"});
  EXPECT_EQ(copy.size(), 2u);
}

}  // namespace
}  // namespace quillmere
