#include <optional>

#include "runtime/code_page.h"
#include "runtime/table_name.h"

namespace quillmere {

// Listings give names as the file system holds them, nearly always UTF-8.
// They are written in Windows-1252, as the Windows build writes them on a
// Western system, so that the table has one encoding with the reports' own
// text. A character Windows-1252 lacks is one "?" per UTF-16 unit (two for a
// character beyond U+FFFF), never a look-alike; a name that is not UTF-8 is
// taken to be single-byte already and kept.
std::string NameInTable(std::string_view name) {
  std::optional<std::string> bytes = Utf8ToWindows1252(name);
  return bytes ? std::move(*bytes) : std::string(name);
}

}  // namespace quillmere
