// The tables of error rates that both programs print: cells laid out column
// by column, each column as wide as its longest cell plus one blank, cells
// joined by a blank.
#pragma once

#include <string>
#include <vector>

namespace kelvor {

using TableRow = std::vector<std::string>;

// Every cell followed by blanks up to one more than the longest cell.
std::vector<std::string> padColumn(const std::vector<std::string>& column);

// Each row's cells joined by a single blank, and a newline, on standard
// output.
void printTable(const std::vector<TableRow>& rows);

// The rows with every column padded (rows of equal length).
std::vector<TableRow> padColumns(const std::vector<TableRow>& rows);

// padColumns, then printTable.
void printPaddedTable(const std::vector<TableRow>& rows);

}  // namespace kelvor
