// What both report layouts share: how a figure is read from its field, and
// how a report that cannot be read is worded.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace quillmere {

// The line that starts the header of today's layout. A file that has it
// anywhere is read as a report of that layout.
inline constexpr std::string_view kScenarioLine = "* Scenario                :";

// True for a figure field TOXSWA could not fill with a number: stars where
// the value was too wide for the field, NaN or Infinity (any case, any sign)
// after a failed computation.
bool IsBrokenFigure(std::string_view field);

// The number in `field` (trimmed), cut from line `lineNumber` of the report
// at `path` after the label `label`. A field TOXSWA filled with stars or with
// NaN or Infinity holds no figure at all: reading it as 0 would put a wrong
// result in the table, so it throws FileError naming the line, and so does a
// number too large for a double. A field that holds no number reads as 0.
double ReadFigure(std::string_view field, const std::string& path, std::size_t lineNumber,
                  std::string_view label);

// Why a report that stopped before `expecting` cannot be read.
std::string EndedEarlyReason(std::string_view expecting);

// Why a file with a line longer than LineReader::kLongestLine, line
// `lineNumber`, cannot be read.
std::string LineTooLongReason(std::size_t lineNumber);

// `a line containing "<marker>"`, for the reasons above.
std::string LineContaining(std::string_view marker);

}  // namespace quillmere
