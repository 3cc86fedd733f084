#include "runtime/number.h"

#include <array>
#include <charconv>
#include <cmath>
#include <system_error>

namespace quillmere {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Saturating accumulation of exponent digits: anything beyond this bound
// already over- or underflows a double, whatever the mantissa.
constexpr long kExponentBound = 100000;

}  // namespace

NumberReading ToNumber(std::string_view text) {
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;

  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }

  // Mantissa: collect the significant digits and the power of ten of the
  // first of them, without building a copy of arbitrarily long input.
  std::string digits;  // significant digits, without leading zeros
  long pointShift = 0;  // decimal exponent contributed by the digit positions
  bool anyDigit = false;
  bool seenPoint = false;
  for (; i < n; ++i) {
    const char c = text[i];
    if (IsDigit(c)) {
      anyDigit = true;
      if (digits.empty() && c == '0') {
        if (seenPoint) --pointShift;
        continue;
      }
      if (digits.size() < 800) {
        digits.push_back(c);
        if (seenPoint) --pointShift;
      } else if (!seenPoint) {
        ++pointShift;  // digits beyond what a double can tell apart
      }
    } else if (c == '.' && !seenPoint) {
      seenPoint = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return {};

  long exponent = 0;
  auto readExponentDigits = [&](std::size_t from, std::size_t maxDigits) -> std::size_t {
    // Returns how many digits were taken; accumulates them into `exponent`.
    std::size_t taken = 0;
    while (from + taken < n && IsDigit(text[from + taken]) && taken < maxDigits) {
      if (exponent < kExponentBound) exponent = exponent * 10 + (text[from + taken] - '0');
      ++taken;
    }
    return taken;
  };
  if (i < n) {
    const char c = text[i];
    if (c == 'E' || c == 'e' || c == 'D' || c == 'd') {
      std::size_t j = i + 1;
      bool expNegative = false;
      if (j < n && (text[j] == '+' || text[j] == '-')) {
        expNegative = text[j] == '-';
        ++j;
      }
      if (readExponentDigits(j, std::string_view::npos) > 0 && expNegative) exponent = -exponent;
    } else if (c == '+' || c == '-') {
      if (readExponentDigits(i + 1, 3) > 0 && c == '-') exponent = -exponent;
    }
  }

  if (digits.empty()) return {negative ? -0.0 : 0.0, false};

  // Magnitude of the leading digit decides over- or underflow when the
  // conversion below cannot represent the value.
  const long total = exponent + pointShift;
  const long leading = total + static_cast<long>(digits.size()) - 1;
  if (leading > 400) return {0, true};
  if (leading < -400) return {negative ? -0.0 : 0.0, false};

  std::string normal = digits;
  normal.push_back('e');
  const std::string totalText = std::to_string(total);
  normal += totalText;

  double value = 0;
  const auto [end, error] = std::from_chars(normal.data(), normal.data() + normal.size(), value);
  (void)end;
  if (error == std::errc::result_out_of_range) {
    if (leading >= 0) return {0, true};
    value = 0;
  } else if (std::isinf(value)) {
    return {0, true};
  }
  return {negative ? -value : value, false};
}

std::string ToText(double value, std::string_view decimalSeparator) {
  if (value == 0) return "0";
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";

  std::array<char, 64> buffer{};
  const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value,
                                    std::chars_format::general, 15);
  std::string text;
  text.reserve(32);
  for (const char* p = buffer.data(); p != result.ptr; ++p) {
    if (*p == '.') {
      text += decimalSeparator;
    } else if (*p == 'e') {
      text.push_back('E');
    } else {
      text.push_back(*p);
    }
  }
  return text;
}

}  // namespace quillmere
