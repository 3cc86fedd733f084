// The POSIX side of number.h: the locale's decimal separator.
#include <clocale>

#include "runtime/number.h"

namespace quillmere {

std::string LocaleDecimalSeparator() {
  const std::lconv* conventions = std::localeconv();
  if (conventions == nullptr || conventions->decimal_point == nullptr ||
      conventions->decimal_point[0] == '\0') {
    return ".";
  }
  return conventions->decimal_point;
}

}  // namespace quillmere
