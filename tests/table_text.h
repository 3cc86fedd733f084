// Reading back a written Summary.txt in tests.
#pragma once

#include <string>
#include <vector>

namespace quillmere::testing {

// The table's header line, with its CR LF.
extern const std::string kTableHeader;

// The data lines of a table, each without its CR LF; fails the test when the
// table does not start with the header or ends inside a line.
std::vector<std::string> DataRows(const std::string& table);

// "run folder/report" of every data line of a table.
std::vector<std::string> RowNames(const std::string& table);

// The command line's last line after a report failure, "quillmere-summary:
// <table> keeps N reports, M rows" with its line end, N and M counted in the
// table at `tablePath` as it stands (a report's rows share one name).
std::string KeepsLine(const std::string& tablePath, const std::string& lineEnd = "\n");

}  // namespace quillmere::testing
