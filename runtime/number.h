// Reading figures from report text and writing them back as text.
//
// Neither direction depends on the process locale for reading: "." is always
// the decimal point of a report. Writing takes the decimal separator that the
// table's reader expects as an argument.
#pragma once

#include <string>
#include <string_view>

namespace quillmere {

// What ToNumber read from the start of a text.
struct NumberReading {
  // The value; 0 when the text does not begin with a number, or when the
  // number is too small in magnitude for a double.
  double value = 0;
  // True when the text begins with a number too large for a double; `value`
  // is then 0 and must not be used.
  bool tooLarge = false;
};

// The number written at the start of `text`: optional spaces or tabs, an
// optional sign, digits with at most one decimal point "." and at least one
// digit, then optionally an exponent. The exponent is a letter E, e, D or d,
// an optional sign and at least one digit; or, as Fortran writes exponents
// beyond two digits, a sign directly after the digits followed by one to
// three digits ("0.1234-100" is 0.1234E-100). The longest such beginning is
// the number; anything else ("", "-", "< 1e-6", "***", "inf") reads as 0.
NumberReading ToNumber(std::string_view text);

// General text of `value`: at most 15 significant digits, no trailing zeros,
// exponent form ("1.5E-05", "1E+15") when the decimal exponent is below -4 or
// at least 15, as C's "%.15G". A zero of either sign is "0". The decimal point
// is written as `decimalSeparator`. Infinities and NaN, which no reading
// yields, are written as "inf", "-inf" and "nan".
std::string ToText(double value, std::string_view decimalSeparator = ".");

// The decimal separator of the user's regional settings, as the table is
// written: on POSIX systems that of the current LC_NUMERIC locale ("." in the
// C and POSIX locales); on Windows that of the user's locale
// (LOCALE_SDECIMAL), in the ANSI code page. One source per system
// (number_posix.cpp, number_windows.cpp).
std::string LocaleDecimalSeparator();

}  // namespace quillmere
