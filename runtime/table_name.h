// How a file or folder name is written into the table.
#pragma once

#include <string>
#include <string_view>

namespace quillmere {

// `name`, as a listing gives it, in the text of the table: the code page of
// the reports' own text and the one a spreadsheet assumes for a ".txt", with
// "?" for a character that code page lacks (one per UTF-16 unit). On Windows
// that is the system's ANSI code page (Windows-1252 on Western systems);
// elsewhere Windows-1252, from names in UTF-8, and a name that is not UTF-8
// is kept as it is. One source per system (table_name_posix.cpp,
// table_name_windows.cpp).
std::string NameInTable(std::string_view name);

}  // namespace quillmere
