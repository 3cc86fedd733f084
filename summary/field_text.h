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

// The form in which run IDs are compared: a number without its leading
// zeros ("04637" -> "4637", "000" -> "0"), anything else in lower case, so
// that "04637" and "4637" name one run, and "00001P_PA" and "00001p_pa".
std::string RunKey(std::string_view runId);

// The run ID of the report named `reportFile`: the name without the folders
// before it and without ".sum" (any case): "4630.sum" -> "4630".
std::string_view ReportRunId(std::string_view reportFile);

// The name of `file` without the folders before it ("/" or "\\").
std::string_view BaseName(std::string_view file);

}  // namespace quillmere
