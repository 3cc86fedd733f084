#include "tests/table_text.h"

#include <gtest/gtest.h>

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

}  // namespace quillmere::testing
