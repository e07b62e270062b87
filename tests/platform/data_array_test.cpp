#include <gtest/gtest.h>

#include "platform/data_array.h"
#include "platform/run_time_error.h"
#include "tests/support/run_time_error_of.h"

namespace tarvex {
namespace {

TEST(DataArray, dimensionedCellsHoldNothingAndKeepTheirKind) {
  DataArray a;
  a.ReDim(0, 99, 0, 5);
  EXPECT_EQ(a.LowerBound(1), 0);
  EXPECT_EQ(a.UpperBound(1), 99);
  EXPECT_EQ(a.LowerBound(2), 0);
  EXPECT_EQ(a.UpperBound(2), 5);
  EXPECT_TRUE(a.Value(0, 0).isEmpty());
  EXPECT_TRUE(a.Value(99, 5).isEmpty());

  a.SetValue(3, 2, DataCell::Number("0012"));
  a.SetValue(99, 5, DataCell::Text(""));
  EXPECT_TRUE(a.Value(3, 2).isNumber());
  EXPECT_EQ(a.Value(3, 2).text(), "0012");
  EXPECT_TRUE(a.Value(99, 5).isText());
  EXPECT_FALSE(a.Value(99, 5).isEmpty());

  a.ReDim(0, 99, 0, 5);
  EXPECT_TRUE(a.Value(3, 2).isEmpty());
}

TEST(DataArray, cellsOutsideTheBoundsRaiseSubscriptError) {
  DataArray a;
  a.ReDim(0, 99, 0, 5);
  for (auto [row, column] : {std::pair{100L, 0L}, {-1L, 0L}, {0L, 6L}, {0L, -1L}}) {
    EXPECT_EQ(test::ErrorOf([&] { a.SetValue(row, column, DataCell::Text("x")); }), ErrorNumber::SubscriptOutOfRange)
        << row << "," << column;
  }
  EXPECT_THROW(a.LowerBound(3), RunTimeError);
}

}  // namespace
}  // namespace tarvex
