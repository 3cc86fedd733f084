#include "runtime/table_name.h"

namespace quillmere {

std::string NameInTable(std::string_view name) { return std::string(name); }

}  // namespace quillmere
