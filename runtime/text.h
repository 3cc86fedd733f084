// Byte-column text operations on one line of a report.
//
// Reports are Latin-1 or ASCII, so a column is a byte and nothing here
// decodes or transcodes. Columns are counted from 1.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillmere {

// Column (from 1) of the first occurrence of `text` in `line`, comparing
// bytes exactly; 0 when it does not occur. An empty `text` is found at 1.
std::size_t Find(std::string_view line, std::string_view text);

// True when `text` occurs anywhere in `line`.
inline bool Contains(std::string_view line, std::string_view text) { return Find(line, text) != 0; }

// At most `count` bytes of `line` from column `start` (from 1); empty when
// `start` lies beyond the end of the line. A `start` of 0 counts as 1.
std::string_view Cut(std::string_view line, std::size_t start, std::size_t count);

// Everything from column `start` to the end of the line.
std::string_view Cut(std::string_view line, std::size_t start);

// `text` without its leading and trailing spaces (only the space character;
// tabs stay).
std::string_view Trim(std::string_view text);

// True when `a` and `b` are equal with ASCII letters folded to lower case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// True when `text` ends with `suffix`, ASCII letters compared without case.
bool EndsWithIgnoringCase(std::string_view text, std::string_view suffix);

// `count` and `noun`, the noun with an "s" unless the count is 1: "1 report",
// "2 reports", "0 rows".
std::string Counted(std::size_t count, std::string_view noun);

// Copy of `text` fit to be shown on a terminal: TAB, CR and LF as "\t", "\r"
// and "\n", every other control byte (below 0x20, and 0x7F) as "\xHH" in
// lower case, and the C1 controls U+0080 to U+009F written in UTF-8 (bytes C2
// 80 to C2 9F) as their two bytes "\xc2\xHH", so that a name cannot move the
// cursor or change the terminal. Other bytes are copied.
std::string Visible(std::string_view text);

}  // namespace quillmere
