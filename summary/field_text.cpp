#include "summary/field_text.h"

#include <cstddef>

#include "runtime/text.h"

namespace quillmere {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits from `at`; returns how many.
std::size_t SkipDigits(std::string_view text, std::size_t& at) {
  const std::size_t start = at;
  while (at < text.size() && IsDigit(text[at])) ++at;
  return at - start;
}

}  // namespace

std::string_view TrimBlanks(std::string_view text) {
  std::size_t first = 0;
  while (first < text.size() && IsBlank(text[first])) ++first;
  std::size_t last = text.size();
  while (last > first && IsBlank(text[last - 1])) --last;
  return text.substr(first, last - first);
}

bool IsWholeNumber(std::string_view text) {
  std::size_t at = 0;
  return SkipDigits(text, at) > 0 && at == text.size();
}

bool IsFigure(std::string_view text) {
  std::size_t at = 0;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
  std::size_t digits = SkipDigits(text, at);
  if (at < text.size() && text[at] == '.') {
    ++at;
    digits += SkipDigits(text, at);
  }
  if (digits == 0) return false;
  if (at < text.size() && (text[at] == 'E' || text[at] == 'e')) {
    ++at;
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;
    if (SkipDigits(text, at) == 0) return false;
  }
  return at == text.size();
}

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lower;
}

std::string RunKey(std::string_view runId) {
  if (!IsWholeNumber(runId)) return LowerCase(runId);
  const std::size_t first = runId.find_first_not_of('0');
  return std::string(first == std::string_view::npos ? std::string_view("0") : runId.substr(first));
}

std::string_view BaseName(std::string_view file) {
  const std::size_t slash = file.find_last_of("/\\");
  return slash == std::string_view::npos ? file : file.substr(slash + 1);
}

std::string_view ReportRunId(std::string_view reportFile) {
  constexpr std::string_view kSuffix = ".sum";
  reportFile = BaseName(reportFile);
  if (EndsWithIgnoringCase(reportFile, kSuffix)) reportFile.remove_suffix(kSuffix.size());
  return reportFile;
}

}  // namespace quillmere
