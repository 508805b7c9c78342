#include "learn/ErrorTable.h"

#include <algorithm>
#include <cstddef>

#include "base/Console.h"

namespace kelvor {

namespace {

std::vector<TableRow> transpose(const std::vector<TableRow>& rows) {
  std::vector<TableRow> columns;
  for (const TableRow& row : rows) {
    if (columns.size() < row.size()) columns.resize(row.size());
    for (std::size_t j = 0; j < row.size(); ++j) columns[j].push_back(row[j]);
  }
  return columns;
}

}  // namespace

std::vector<std::string> padColumn(const std::vector<std::string>& column) {
  std::size_t longest = 0;
  for (const std::string& cell : column) longest = std::max(longest, cell.size());
  std::vector<std::string> out;
  out.reserve(column.size());
  for (const std::string& cell : column) {
    out.push_back(cell);
    out.back().append(longest + 1 - cell.size(), ' ');
  }
  return out;
}

void printTable(const std::vector<TableRow>& rows) {
  std::string text;
  for (const TableRow& row : rows) {
    for (std::size_t j = 0; j < row.size(); ++j) {
      if (j > 0) text += ' ';
      text += row[j];
    }
    text += '\n';
  }
  printOut(text);
}

std::vector<TableRow> padColumns(const std::vector<TableRow>& rows) {
  std::vector<TableRow> columns = transpose(rows);
  for (TableRow& column : columns) column = padColumn(column);
  return transpose(columns);
}

void printPaddedTable(const std::vector<TableRow>& rows) { printTable(padColumns(rows)); }

}  // namespace kelvor
