#include "tests/support/OutcomeTable.h"

#include <algorithm>
#include <fstream>

namespace felidora::test {
namespace {
const char* const kColumns[] = {"missing", "empty", "truncated", "random", "wrongsize", "game"};
}

OutcomeTable& OutcomeTable::get() {
  static OutcomeTable table;
  return table;
}

void OutcomeTable::addRow(const std::string& row) { rows.push_back({row, {}}); }

void OutcomeTable::record(const std::string& row, const std::string& column, const std::string& outcome, int part) {
  auto it = std::find_if(rows.begin(), rows.end(), [&](const Row& r) { return r.name == row; });
  if (it == rows.end()) {
    rows.push_back({row, {}});
    it = rows.end() - 1;
  }
  it->cells[column][part] = outcome;
}

void OutcomeTable::write(const std::string& path, const std::string& preamble) const {
  std::ofstream out(path);
  out << preamble;
  out << "| file | missing | empty | truncated to half | random bytes | wrong-size PNG | in the whole game |\n";
  out << "|---|---|---|---|---|---|---|\n";
  for (const Row& row : rows) {
    if (row.cells.empty())
      continue;
    out << "| " << row.name;
    for (const char* column : kColumns) {
      const auto cell = row.cells.find(column);
      if (cell == row.cells.end()) {
        out << " | -";
        continue;
      }
      const char* separator = " | ";
      for (const auto& part : cell->second) {
        out << separator << part.second;
        separator = "; ";
      }
    }
    out << " |\n";
  }
}

} // namespace felidora::test
