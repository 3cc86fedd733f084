// Small text checks shared by the readers of the files beside the reports.
#pragma once

#include <string>
#include <string_view>

namespace quillmere {

// True for a space or a tab.
inline bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// `text` without leading and trailing spaces and tabs.
std::string_view TrimBlanks(std::string_view text);

// True when `text` is one or more digits and nothing else.
bool IsWholeNumber(std::string_view text);

// True when `text` is a figure as these files write one: digits with at most
// one decimal point, an optional leading sign and an optional exponent
// ("10", "0.85", "-1.5E-05").
bool IsFigure(std::string_view text);

// `text` with ASCII letters in lower case, other bytes as they are.
std::string LowerCase(std::string_view text);

}  // namespace quillmere
