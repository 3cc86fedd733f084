#include "runtime/table_name.h"
#include "runtime/windows_text.h"

namespace quillmere {

// Listings give names in UTF-8.
std::string NameInTable(std::string_view name) { return Utf8ToAnsiCodePage(name); }

}  // namespace quillmere
