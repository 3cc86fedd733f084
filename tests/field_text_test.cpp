// The text checks the readers of SWAN logs and SWASH project reports decide
// by: what a figure is, and how run IDs are compared.
#include "summary/field_text.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace quillmere {
namespace {

TEST(FieldTextTest, TakesAFigureOnlyWithDigitsAndAWholeExponent) {
  const std::pair<std::string, bool> cases[] = {
      {"10", true},     {"0.85", true}, {"-1.5E-05", true}, {"+2e+5", true},  {".5", true},
      {"5.", true},     {"1e9", true},  {"", false},        {"-", false},     {".", false},
      {"+.E5", false},  {"1E", false},  {"1e-", false},     {"1.5x", false},  {"1.2.3", false},
      {"1 000", false}, {"1,5", false}, {"E5", false},      {"1E5.0", false},
  };
  for (const auto& [text, figure] : cases) EXPECT_EQ(IsFigure(text), figure) << '"' << text << '"';
  EXPECT_TRUE(IsWholeNumber("042"));
  EXPECT_FALSE(IsWholeNumber("-42"));
  EXPECT_FALSE(IsWholeNumber(""));
}

TEST(FieldTextTest, ComparesRunIdsWithoutLeadingZerosOrCase) {
  const std::pair<std::string, std::string> keys[] = {
      {"04637", "4637"}, {"000", "0"}, {"00001P_PA", "00001p_pa"}, {"Run-7", "run-7"}, {"", ""},
  };
  for (const auto& [id, key] : keys) EXPECT_EQ(RunKey(id), key) << id;
  const std::pair<std::string, std::string> reports[] = {
      {"4630.sum", "4630"},
      {"runs/a\\00001p_pa.SUM", "00001p_pa"},
      {"notes.txt", "notes.txt"},
      {".sum", ""},
  };
  for (const auto& [file, id] : reports) EXPECT_EQ(ReportRunId(file), id) << file;
  EXPECT_EQ(TrimBlanks(" \t a b\t "), "a b");
  EXPECT_EQ(TrimBlanks(" \t "), "");
}

}  // namespace
}  // namespace quillmere
