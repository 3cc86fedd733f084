// What the sheet Compare compares, and which threshold each of its blocks
// gets.
#include "workbook/compare_sheet.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace quillmere {
namespace {

Threshold Given(std::optional<std::string> substance, std::optional<std::string> figure, double value) {
  return Threshold{std::move(substance), std::move(figure), value, "given"};
}

TEST(CompareSheetTest, NamesTheTableFiguresAndTheOtherWindows) {
  const struct {
    std::string name;
    std::optional<std::size_t> table;
    bool sediment;
    int days;  // -1: not a figure
  } cases[] = {
      {"PECsw_max", 0, false, 0},    {"TWAsed21d", 5, false, 0},     {"TWAsw 28d", {}, false, 28},
      {"TWAsed 1d", {}, true, 1},    {"TWAsw 100d", {}, false, 100}, {"TWAsw 0d", {}, false, -1},
      {"TWAsw 101d", {}, false, -1}, {"TWAsw 07d", {}, false, -1},   {"TWAsw 7", {}, false, -1},
      {"TWAsw d", {}, false, -1},    {"TWAsw  7d", {}, false, -1},   {"twasw 7d", {}, false, -1},
      {"TWAsw 7d ", {}, false, -1},  {"pecsw_max", {}, false, -1},   {"", {}, false, -1},
  };
  for (const auto& c : cases) {
    const std::optional<ComparedFigure> figure = ParseComparedFigure(c.name);
    ASSERT_EQ(figure.has_value(), c.days >= 0) << c.name;
    if (!figure) continue;
    EXPECT_EQ(figure->name, c.name);
    EXPECT_EQ(figure->table, c.table) << c.name;
    if (!c.table) {
      EXPECT_EQ(figure->sediment, c.sediment) << c.name;
      EXPECT_EQ(figure->days, c.days) << c.name;
    }
  }
}

TEST(CompareSheetTest, GivesEachBlockTheMostSpecificThreshold) {
  const std::vector<ComparedFigure> figures = {*ParseComparedFigure("PECsw_max"),
                                               *ParseComparedFigure("TWAsw 28d")};
  const struct {
    std::string what;
    std::vector<Threshold> thresholds;
    std::string substance;  // as the report writes it (Windows-1252)
    std::size_t figure;
    std::optional<double> expected;
  } cases[] = {
      {"none given", {}, "A", 0, std::nullopt},
      {"one for every block", {Given({}, {}, 1)}, "A", 1, 1},
      {"the figure's over every block", {Given({}, "PECsw_max", 2), Given({}, {}, 1)}, "A", 0, 2},
      {"another figure's does not apply", {Given({}, "TWAsw 28d", 2)}, "A", 0, std::nullopt},
      {"the substance's over the figure's",
       {Given("A", "PECsw_max", 3), Given({}, "PECsw_max", 2), Given({}, {}, 1)},
       "A",
       0,
       3},
      {"another substance's does not apply", {Given("B", "PECsw_max", 3), Given({}, {}, 1)}, "A", 0, 1},
      {"the last of equals", {Given({}, {}, 1), Given({}, {}, 4)}, "A", 0, 4},
      {"the name typed in UTF-8", {Given("S\xC3\xA4ure", "PECsw_max", 5)}, "S\xE4ure", 0, 5},
      {"the name as the report's bytes", {Given("S\xE4ure", "PECsw_max", 6)}, "S\xE4ure", 0, 6},
      {"names compared exactly", {Given("a", "PECsw_max", 7)}, "A", 0, std::nullopt},
  };
  for (const auto& c : cases) {
    const CompareSheet sheet(figures, c.thresholds);
    const Threshold* threshold = sheet.ThresholdOf(c.substance, c.figure);
    ASSERT_EQ(threshold != nullptr, c.expected.has_value()) << c.what;
    if (threshold) {
      EXPECT_EQ(threshold->value, *c.expected) << c.what;
    }
  }
}

TEST(CompareSheetTest, TakesAWindowOfDigitsAloneThatFitItsCount) {
  // Read as far as the digits go, each would be a window of another name.
  for (const std::string name :
       {"TWAsw 7x7d", "TWAsed 7.5d", "TWAsw +7d", "TWAsed -7d", "TWAsw 99999999999d", "TWAsw 4294967303d"}) {
    EXPECT_FALSE(ParseComparedFigure(name)) << name;
  }
}

}  // namespace
}  // namespace quillmere
