#include <gtest/gtest.h>

#include <functional>

#include "platform/run_time_error.h"
#include "tests/config/status_editor/status_table_fixture.h"

namespace tarvex::test {
namespace {

const Row Entry = {"Motion", "1 / MOTION", "2", "1", "4", "X"};

struct FirstEmptyCase {
  const char* legend;
  std::function<void(DataArray&)> fill;
  long expected;
};

TEST(StatusTableEdits, FirstEmptyEntryFindsTheFirstFreeRowAboveTheLast) {
  const FirstEmptyCase cases[] = {
      {"new table: row 0 holds nothing", [](DataArray&) {}, 0},
      {"three used rows", [](DataArray& t) { FillRows(t, 3); }, 3},
      {"98 used rows leave row 98", [](DataArray& t) { FillRows(t, 98); }, 98},
      {"99 used rows: row 99 never counts", [](DataArray& t) { FillRows(t, 99); }, -1},
      {"all 100 rows used", [](DataArray& t) { FillRows(t, 100); }, -1},
      {"a gap in the block is the first free row",
       [](DataArray& t) {
         FillRows(t, 6);
         t.SetValue(2, 0, DataCell::Text(""));
       },
       2},
      {"only column 0 decides",
       [](DataArray& t) {
         FillRows(t, 2);
         SetRow(t, 2, {"", "1 / MOTION", "5", "1", "", "X"});
       },
       2},
      {"a number in column 0 makes the row used",
       [](DataArray& t) {
         FillRows(t, 1);
         t.SetValue(1, 0, DataCell::Number("0"));
       },
       2},
      {"a blank status definition is not empty",
       [](DataArray& t) { t.SetValue(0, 0, DataCell::Text(" ")); },
       1},
  };
  for (const FirstEmptyCase& c : cases) {
    DataArray table = StartupTable();
    c.fill(table);
    EXPECT_EQ(FirstEmptyEntry(table), c.expected) << c.legend;
  }
}

TEST(StatusTableEdits, FirstEmptyEntryStoresTheEmptyTextUpToTheRowItStopsAt) {
  DataArray table = StartupTable();
  FillRows(table, 2);
  table.SetValue(1, 0, DataCell());  // row 1's definition holds nothing
  EXPECT_EQ(FirstEmptyEntry(table), 1);
  EXPECT_EQ(table.Value(1, 0), DataCell::Text(""));
  EXPECT_TRUE(table.Value(1, 1).isText()) << "other columns are left alone";
  EXPECT_TRUE(table.Value(2, 0).isEmpty()) << "rows below the stop are not touched";
}

TEST(StatusTableEdits, RowChangeLimitIsTheFirstFreeRowOrRow98WhenFull) {
  DataArray table = StartupTable();
  FillRows(table, 40);
  EXPECT_EQ(RowChangeLimit(table), 40);
  FillRows(table, 99);
  EXPECT_EQ(RowChangeLimit(table), 98);
}

TEST(StatusTableEdits, InsertShiftsTheRowsDownAndDropsTheLastRow) {
  struct Case {
    const char* legend;
    long used, at;
  };
  const Case cases[] = {{"into the middle of the block", 5, 2},
                        {"at the first row", 5, 0},
                        {"at the first free row (adds at the end)", 5, 5},
                        {"into a table of 99 entries", 99, 10},
                        {"at row 98 of a table of 100 rows", 100, 98}};
  for (const Case& c : cases) {
    DataArray table = StartupTable();
    FillRows(table, c.used);
    const DataArray before = table;
    InsertEntry(table, c.at, {Entry[0], Entry[1], Entry[2], Entry[3], Entry[4], Entry[5]});
    for (long r = 0; r < c.at; ++r) EXPECT_EQ(RowTexts(table, r), RowTexts(before, r)) << c.legend << " row " << r;
    EXPECT_EQ(RowTexts(table, c.at), Entry) << c.legend;
    for (long r = c.at + 1; r <= 99; ++r) {
      EXPECT_EQ(RowTexts(table, r), RowTexts(before, r - 1)) << c.legend << " row " << r;
    }
  }
}

TEST(StatusTableEdits, DeleteCompactsTheRowsAndClearsTheLastRow) {
  struct Case {
    const char* legend;
    long used, at;
  };
  const Case cases[] = {{"a middle row", 5, 2},
                        {"the first row", 5, 0},
                        {"the last used row", 5, 4},
                        {"an entry in row 99 moves up to row 98", 100, 50}};
  for (const Case& c : cases) {
    DataArray table = StartupTable();
    FillRows(table, c.used);
    const DataArray before = table;
    DeleteEntry(table, c.at);
    for (long r = 0; r < c.at; ++r) EXPECT_EQ(RowTexts(table, r), RowTexts(before, r)) << c.legend << " row " << r;
    for (long r = c.at; r < 99; ++r) {
      EXPECT_EQ(RowTexts(table, r), RowTexts(before, r + 1)) << c.legend << " row " << r;
    }
    for (int col = 0; col < 6; ++col) EXPECT_EQ(table.Value(99, col), DataCell::Text("")) << c.legend;
    EXPECT_EQ(FirstEmptyEntry(table), c.used == 100 ? -1 : c.used - 1) << c.legend;
  }
}

TEST(StatusTableEdits, WriteEntryStoresTheTextsUntrimmed) {
  DataArray table = StartupTable();
  WriteEntry(table, 0, {"Motion ", "1 / MOTION", " 2", "1b3 ", "", " "});
  EXPECT_EQ(RowTexts(table, 0), (Row{"Motion ", "1 / MOTION", " 2", "1b3 ", "", " "}));
  EXPECT_TRUE(table.Value(0, 4).isText());
}

TEST(StatusTableEdits, OpeningARowFillsCellsHoldingNothingAndTellsWhetherItIsBlank) {
  DataArray table = StartupTable();
  EXPECT_TRUE(PrepareRowForOpening(table, 0));
  for (int c = 0; c < 6; ++c) EXPECT_EQ(table.Value(0, c), DataCell::Text(""));
  table.SetValue(1, 4, DataCell::Text("8"));
  EXPECT_FALSE(PrepareRowForOpening(table, 1));
  EXPECT_EQ(table.Value(1, 4), DataCell::Text("8"));
}

TEST(StatusTableEdits, TheLastRowIsNeverWrittenByTheEditor) {
  DataArray table = StartupTable();
  const StatusEntryTexts entry{"LB", "3 / UNITS", "1", "1", "", "X"};
  for (long row : {-1L, 99L, 100L}) {
    EXPECT_THROW(WriteEntry(table, row, entry), RunTimeError) << row;
    EXPECT_THROW(InsertEntry(table, row, entry), RunTimeError) << row;
    EXPECT_THROW(DeleteEntry(table, row), RunTimeError) << row;
  }
  EXPECT_TRUE(table.Value(99, 0).isEmpty());
}

}  // namespace
}  // namespace tarvex::test
