#include <gtest/gtest.h>

#include "learn/ErrorTable.h"

namespace kelvor {
namespace {

TEST(ErrorTable, ColumnsPaddedToOneMoreThanTheirLongestCell) {
  EXPECT_EQ(padColumn({"", "Training", " Testing"}),
            (std::vector<std::string>{"         ", "Training ", " Testing "}));
  EXPECT_EQ(padColumns({{"", "Accuracy"}, {"Training", "NaN"}}),
            (std::vector<TableRow>{{"         ", "Accuracy "}, {"Training ", "NaN      "}}));
  EXPECT_TRUE(padColumns({}).empty());
}

}  // namespace
}  // namespace kelvor
