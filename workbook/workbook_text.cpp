#include "workbook/workbook_text.h"

#include "runtime/code_page.h"
#include "runtime/text.h"

namespace quillmere {

namespace {

// Appends `c` as UTF-8; a character a workbook cannot hold as the
// replacement character.
void Append(std::string& out, char32_t c) {
  if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0xFFFE || c == 0xFFFF) {
    c = kReplacementCharacter;
  }
  AppendUtf8(out, c);
}

constexpr std::string_view kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                        "jul", "aug", "sep", "oct", "nov", "dec"};

// The number written by the digits `text`; -1 when it holds anything else.
int Digits(std::string_view text) {
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  return text.empty() ? -1 : value;
}

int DaysIn(int month, int year) {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return month == 2 && leap ? 29 : kDays[month - 1];
}

// Marks `out`, a text cut at its limit, as cut: its last character gives way
// to "…", so that a reader sees that the cell does not hold the whole text.
void MarkCut(std::string& out) {
  while (!out.empty() && (static_cast<unsigned char>(out.back()) & 0xC0) == 0x80) out.pop_back();
  if (!out.empty()) out.pop_back();
  out += "\xE2\x80\xA6";
}

}  // namespace

std::string Windows1252ToUtf8(std::string_view text, std::size_t limit) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size() && i < limit; ++i) {
    Append(out, FromWindows1252(static_cast<unsigned char>(text[i])));
  }
  if (text.size() > limit && limit > 0) MarkCut(out);
  return out;
}

std::string NameInWorkbook(std::string_view name, std::size_t limit) {
  std::string out;
  out.reserve(name.size());
  for (std::size_t characters = 0; !name.empty() && characters < limit; ++characters) {
    const auto [c, length] = DecodeUtf8(name);
    if (length == 0) {
      Append(out, FromWindows1252(static_cast<unsigned char>(name.front())));
      name.remove_prefix(1);
    } else {
      Append(out, c);
      name.remove_prefix(length);
    }
  }
  if (!name.empty() && limit > 0) MarkCut(out);
  return out;
}

namespace {

// `text` as the string of a formula: "...", or "..."&"..." in pieces of at
// most 255 characters (UTF-16 units, as Excel counts them; a doubled quote
// counted twice), quotes doubled.
void AppendFormulaString(std::string& formula, std::string_view text) {
  constexpr std::size_t kPieceUnits = 255;
  formula += '"';
  std::size_t units = 0;
  while (!text.empty()) {
    auto [c, length] = DecodeUtf8(text);
    if (length == 0) length = 1;  // not UTF-8: taken over as it is
    const std::size_t needed = c == U'"' ? 2 : (c > 0xFFFF ? 2 : 1);
    if (units + needed > kPieceUnits) {
      formula += "\"&\"";
      units = 0;
    }
    if (c == U'"') formula += '"';
    formula.append(text.substr(0, length));
    units += needed;
    text.remove_prefix(length);
  }
  formula += '"';
}

}  // namespace

std::string HyperlinkFormula(std::string_view target, std::string_view name) {
  constexpr std::size_t kFormulaCharacters = 8192;
  std::string formula = "=HYPERLINK(";
  AppendFormulaString(formula, target);
  formula += ',';
  AppendFormulaString(formula, name);
  formula += ')';
  // Bytes are at least as many as characters: counting characters only when
  // the bytes are over the limit.
  if (formula.size() > kFormulaCharacters) {
    std::size_t characters = 0;
    for (const char c : formula) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    if (characters > kFormulaCharacters) return {};
  }
  return formula;
}

std::optional<ReportDate> ParseReportDate(std::string_view text) {
  text = Trim(text);
  // DD-Mon-YYYY-HHhMM
  if (text.size() != 17 || text[2] != '-' || text[6] != '-' || text[11] != '-' || text[14] != 'h') {
    return std::nullopt;
  }
  ReportDate date;
  date.day = Digits(text.substr(0, 2));
  date.year = Digits(text.substr(7, 4));
  date.hour = Digits(text.substr(12, 2));
  date.minute = Digits(text.substr(15, 2));
  for (std::size_t m = 0; m < std::size(kMonths); ++m) {
    if (EqualsIgnoringCase(text.substr(3, 3), kMonths[m])) date.month = static_cast<int>(m) + 1;
  }
  if (date.month == 0 || date.year < 1900 || date.day < 1 || date.day > DaysIn(date.month, date.year) ||
      date.hour < 0 || date.hour > 23 || date.minute < 0 || date.minute > 59) {
    return std::nullopt;
  }
  return date;
}

std::string_view WaterBody(std::string_view scenario) {
  const std::size_t underscore = scenario.rfind('_');
  return underscore == std::string_view::npos ? std::string_view() : scenario.substr(underscore + 1);
}

std::string WaterBodyOfType(std::string_view type) {
  type = Trim(type);
  const std::size_t underscore = type.rfind('_');
  std::string body(underscore == std::string_view::npos ? type : type.substr(underscore + 1));
  for (std::size_t i = 0; i < body.size(); ++i) {
    char& c = body[i];
    if (i == 0 && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (i > 0 && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return body;
}

std::size_t CharacterCount(std::string_view text) {
  std::size_t characters = 0;
  for (const char c : text) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  return characters;
}

std::string_view EntryRoute(std::string_view scenario, std::string_view waterMaxDate,
                            const TextList& applicationDates) {
  const std::string_view maximum = Trim(waterMaxDate);
  if (!maximum.empty()) {
    for (std::string_view date : applicationDates) {
      if (Trim(date) == maximum) return "Drift";
    }
  }
  if (scenario.starts_with('D')) return "Drainage";
  if (scenario.starts_with('R')) return "Run-off";
  return {};
}

}  // namespace quillmere
