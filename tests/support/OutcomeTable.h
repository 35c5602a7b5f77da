// The bad-content suite's table of what each damaged file led to: one row a
// file, one column a kind of damage, written as markdown.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace felidora::test {

class OutcomeTable {
public:
  static OutcomeTable& get();

  // Rows appear in the order they are added, whatever order the cases ran in.
  void addRow(const std::string& row);
  // A cell joins its parts in the order of `part`, whatever order the cases
  // ran in (death tests run first). Columns: missing, empty, truncated,
  // random, wrongsize, game.
  void record(const std::string& row, const std::string& column, const std::string& outcome, int part);
  // The preamble (the document's title and text), then the table.
  void write(const std::string& path, const std::string& preamble) const;

private:
  struct Row {
    std::string name;
    std::map<std::string, std::map<int, std::string>> cells;
  };
  std::vector<Row> rows;
};

} // namespace felidora::test
