#include "tests/table_text.h"

#include <gtest/gtest.h>

#include "tests/scratch_directory.h"

namespace quillmere::testing {

const std::string kTableHeader =
    "ID\tMitigation\tScenario\tSubstance\tPECsw_max\tTWA7d\tTWA21d\tPECsed_max\tTWAsed7d\t"
    "TWAsed21d\tDate water\tDate sed\tAppDate\r\n";

std::vector<std::string> DataRows(const std::string& table) {
  std::vector<std::string> rows;
  if (table.empty()) return rows;
  EXPECT_EQ(table.substr(0, kTableHeader.size()), kTableHeader);
  EXPECT_EQ(table.substr(table.size() - 2), "\r\n") << "the table ends inside a line";
  std::size_t start = table.find("\r\n");
  while (start != std::string::npos && start + 2 < table.size()) {
    start += 2;
    const std::size_t end = table.find("\r\n", start);
    rows.push_back(table.substr(start, end - start));
    start = end;
  }
  return rows;
}

std::vector<std::string> RowNames(const std::string& table) {
  std::vector<std::string> names;
  for (const std::string& row : DataRows(table)) {
    const std::size_t first = row.find('\t');
    const std::size_t second = row.find('\t', first + 1);
    names.push_back(row.substr(0, first) + "/" + row.substr(first + 1, second - first - 1));
  }
  return names;
}

std::string KeepsLine(const std::string& tablePath, const std::string& lineEnd) {
  const std::vector<std::string> names = RowNames(ReadFile(tablePath));
  std::size_t reports = 0;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i == 0 || names[i] != names[i - 1]) ++reports;
  }
  return "quillmere-summary: " + tablePath + " keeps " + std::to_string(reports) +
         (reports == 1 ? " report, " : " reports, ") + std::to_string(names.size()) +
         (names.size() == 1 ? " row" : " rows") + lineEnd;
}

}  // namespace quillmere::testing
