// The POSIX side of number.h: the locale's decimal separator.
#include <clocale>

#include "runtime/number.h"

namespace quillmere {

std::string LocaleDecimalSeparator() {
  // localeconv() always gives a structure; its decimal point may be empty.
  const char* point = std::localeconv()->decimal_point;
  return point[0] != '\0' ? point : ".";
}

}  // namespace quillmere
