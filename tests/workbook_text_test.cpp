#include "workbook/workbook_text.h"

#include <gtest/gtest.h>

#include <string>

namespace quillmere {
namespace {

// A text and what it becomes.
struct Conversion {
  std::string from, to;
};

TEST(WorkbookTextTest, ReadsReportDatesThatExistAndRefusesTheRest) {
  const struct {
    std::string text;
    bool valid;
    ReportDate date;
  } cases[] = {
      {"25-Nov-1978-02h00", true, {1978, 11, 25, 2, 0}},
      {"  01-jan-1900-00h00 ", true, {1900, 1, 1, 0, 0}},
      {"29-Feb-1980-23h59", true, {1980, 2, 29, 23, 59}},
      {"29-Feb-2000-12h00", true, {2000, 2, 29, 12, 0}},
      {"29-Feb-1979-12h00", false, {}},  // not a leap year
      {"29-Feb-1900-12h00", false, {}},  // a century that is not one
      {"31-Apr-1978-02h00", false, {}},
      {"00-Nov-1978-02h00", false, {}},
      {"25-Nov-1978-24h00", false, {}},
      {"25-Nov-1978-02h60", false, {}},
      {"25-Nox-1978-02h00", false, {}},
      {"25-Nov-1899-02h00", false, {}},
      {"25-Nov-1978-02h00x", false, {}},
      {"25/Nov/1978-02h00", false, {}},
      {"25-Nov/1978-02h00", false, {}},
      {"25-Nov-1978/02h00", false, {}},
      {"25-Nov-1978-02:00", false, {}},
      {"25-Nov-1978-0xh00", false, {}},
      {"25-Nov-1978-02h0x", false, {}},
      {"+5-Nov-1978-02h00", false, {}},
      {"", false, {}},
  };
  for (const auto& c : cases) {
    const std::optional<ReportDate> date = ParseReportDate(c.text);
    ASSERT_EQ(date.has_value(), c.valid) << c.text;
    if (!date) continue;
    EXPECT_EQ(date->year, c.date.year) << c.text;
    EXPECT_EQ(date->month, c.date.month) << c.text;
    EXPECT_EQ(date->day, c.date.day) << c.text;
    EXPECT_EQ(date->hour, c.date.hour) << c.text;
    EXPECT_EQ(date->minute, c.date.minute) << c.text;
  }
}

TEST(WorkbookTextTest, DecodesReportTextFromWindows1252) {
  const Conversion cases[] = {
      {"EXSW2", "EXSW2"},
      {"S\xE4ure \xB5g/L", "S\xC3\xA4ure \xC2\xB5g/L"},
      {"\x80 \x96 \x9F", "\xE2\x82\xAC \xE2\x80\x93 \xC5\xB8"},
      {"a\x81z", "a\xEF\xBF\xBDz"},        // undefined in the code page
      {"a\x1B[2Jz", "a\xEF\xBF\xBD[2Jz"},  // a control byte a workbook cannot hold
      {"tab\there", "tab\there"},
  };
  for (const auto& c : cases) EXPECT_EQ(Windows1252ToUtf8(c.from), c.to) << c.from;
  // Cut at the limit, the last character kept giving way to the ellipsis.
  EXPECT_EQ(Windows1252ToUtf8("abcdef", 4), "abc\xE2\x80\xA6");
  EXPECT_EQ(Windows1252ToUtf8("abcd", 4), "abcd");
}

TEST(WorkbookTextTest, KeepsUnicodeNamesAndReadsOtherBytesAsWindows1252) {
  const Conversion cases[] = {
      {"Puffer-Gr\xC3\xB6\xC3\x9F"
       "e",
       "Puffer-Gr\xC3\xB6\xC3\x9F"
       "e"},
      {"\xE7\xB7\xA9\xE8\xA1\x9D", "\xE7\xB7\xA9\xE8\xA1\x9D"},  // 緩衝
      {"\xF0\x9F\x8C\x8A run", "\xF0\x9F\x8C\x8A run"},          // beyond the 16-bit plane
      {"Gr\xF6\xDF"
       "e",
       "Gr\xC3\xB6\xC3\x9F"
       "e"},                                             // Latin-1 bytes
      {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                  // an overlong "/"
      {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},  // a surrogate
      {"cut \xE7\xB7", "cut \xC3\xA7\xC2\xB7"},
      {"bell\x07", "bell\xEF\xBF\xBD"},
      {"line\r\nend", "line\r\nend"},
      {"\xEF\xBF\xBE \xEF\xBF\xBF", "\xEF\xBF\xBD \xEF\xBF\xBD"},  // not characters
  };
  for (const auto& c : cases) EXPECT_EQ(NameInWorkbook(c.from), c.to) << c.from;
  EXPECT_EQ(NameInWorkbook("\xE7\xB7\xA9\xE8\xA1\x9Dx", 2), "\xE7\xB7\xA9\xE2\x80\xA6");
  EXPECT_EQ(NameInWorkbook("\xE7\xB7\xA9\xE8\xA1\x9D", 2), "\xE7\xB7\xA9\xE8\xA1\x9D");
}

TEST(WorkbookTextTest, DerivesTheWaterBodyAndTheEntryRoute) {
  TextList applications;
  applications.Append("14-Nov-1978-09h00");
  applications.Append(" 02-Apr-1985-09h00");
  const struct {
    std::string scenario, waterMaxDate, waterBody, route;
  } cases[] = {
      {"D4_Pond", "25-Nov-1978-02h00", "Pond", "Drainage"},
      {"D4_Pond", "02-Apr-1985-09h00", "Pond", "Drift"},
      {"R1_Stream", "14-Nov-1978-09h00", "Stream", "Drift"},
      {"R1_Stream", "25-Nov-1978-02h00", "Stream", "Run-off"},
      {"R1_Stream2", "", "Stream2", "Run-off"},
      {"X_a_Ditch", "01-Jan-1980-00h00", "Ditch", ""},
      {"Lake", "01-Jan-1980-00h00", "", ""},
      {"D_", "", "", "Drainage"},
      {"", "", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(WaterBody(c.scenario), c.waterBody) << c.scenario;
    EXPECT_EQ(EntryRoute(c.scenario, c.waterMaxDate, applications), c.route)
        << c.scenario << " " << c.waterMaxDate;
  }
}

TEST(WorkbookTextTest, MakesALinkFormulaExcelTakes) {
  const std::string a255(255, 'a');
  const std::string snow = "\xE2\x9D\x84";      // one character, three bytes
  const std::string wave = "\xF0\x9F\x8C\x8A";  // two UTF-16 units
  const struct {
    std::string target, name, formula;
  } cases[] = {
      {"run\\toxswa\\a.sum", "a.sum", "=HYPERLINK(\"run\\toxswa\\a.sum\",\"a.sum\")"},
      {"say \"hi\".sum", "\"", "=HYPERLINK(\"say \"\"hi\"\".sum\",\"\"\"\")"},
      {a255, "", "=HYPERLINK(\"" + a255 + "\",\"\")"},
      {a255 + "b", "n", "=HYPERLINK(\"" + a255 + "\"&\"b\",\"n\")"},
      // A doubled quote is never cut in two, nor is a character.
      {std::string(254, 'a') + "\"", "n", "=HYPERLINK(\"" + std::string(254, 'a') + "\"&\"\"\"\",\"n\")"},
      {std::string(254, 'a') + snow + wave, "n",
       "=HYPERLINK(\"" + std::string(254, 'a') + snow + "\"&\"" + wave + "\",\"n\")"},
  };
  for (const auto& c : cases) EXPECT_EQ(HyperlinkFormula(c.target, c.name), c.formula) << c.target;

  // Excel's formula limit is 8,192 characters, not bytes.
  std::string fits;
  for (int i = 0; i < 3000; ++i) fits += snow;
  EXPECT_FALSE(HyperlinkFormula(fits, "n").empty());
  EXPECT_EQ(HyperlinkFormula(std::string(8200, 'a'), "n"), "");
}

}  // namespace
}  // namespace quillmere
