#include <QCheckBox>
#include <QGroupBox>

#include "tests/config/status_editor/status_table_fixture.h"
#include "tests/config/status_editor/window_fixture.h"

namespace tarvex::test {
namespace {

TEST_F(StatusEditorWindowTest, TheListShowsTheLoadedStatusRowsAndTheEntryFrameWaitsHidden) {
  OpenOnProtocol(10, "protocol-three-status-rows.cfg");
  ASSERT_EQ(view().model()->rowCount(), 100) << "empty rows are shown too";
  EXPECT_EQ(view().model()->columnCount(), 6);
  EXPECT_EQ(view().model()->index(1, 0).data().toString(), QStringLiteral("Range"));
  EXPECT_EQ(view().model()->index(2, 4).data().toString(), QStringLiteral("8"));
  EXPECT_EQ(CurrentRow(), 0);
  EXPECT_TRUE(view().isEnabled());
  EXPECT_EQ(view().model()->index(0, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
  auto* frame = Widget<QGroupBox>("fEntry");
  EXPECT_EQ(frame->parentWidget(), windows->Window());
  EXPECT_FALSE(frame->isVisible());
}

TEST_F(StatusEditorWindowTest, ClickingBelowTheFirstFreeRowMakesTheFirstFreeRowCurrent) {
  OpenOnProtocol(10, "protocol-three-status-rows.cfg");
  Click(1);
  EXPECT_EQ(CurrentRow(), 1);
  Click(5, 2);
  EXPECT_EQ(CurrentRow(), 3);
  EXPECT_EQ(editor->List().CurrentColumn(), 2);
  EXPECT_TRUE(view().selectionModel()->isRowSelected(3, QModelIndex())) << "the highlight follows";
  EXPECT_FALSE(view().selectionModel()->isRowSelected(5, QModelIndex()));
}

TEST_F(StatusEditorWindowTest, AFirstFreeRowBeyondTheViewBecomesTheSecondLastVisibleRow) {
  OpenOnProtocol(10, "protocol-three-status-rows.cfg");
  FillRows(table(), 40);
  dialog().Grid().SetArray(table());
  const int visible = editor->List().VisibleRows();
  ASSERT_GE(visible, 3);
  ASSERT_LT(visible, 40);
  view().verticalScrollBar()->setValue(60);
  Click(61);
  EXPECT_EQ(CurrentRow(), 40);
  EXPECT_EQ(view().verticalScrollBar()->value(), 40 - visible + 2);
  EXPECT_EQ(view().rowAt(CellCentre(40).y()), 40) << "the row is in view";
}

TEST_F(StatusEditorWindowTest, TheVisibleRowsAreTheRowsTheViewShowsWhole) {
  OpenOnProtocol(10, "protocol-three-status-rows.cfg");
  FillRows(table(), 40);
  dialog().Grid().SetArray(table());
  // Room for five whole rows and half of a sixth, whatever the row height.
  const int rowHeight = view().rowHeight(0);
  view().setFixedHeight(rowHeight * 5 + rowHeight / 2 + (view().height() - view().viewport()->height()));
  QApplication::processEvents();
  EXPECT_EQ(editor->List().VisibleRows(), 5);
  view().verticalScrollBar()->setValue(60);
  Click(61);
  ASSERT_EQ(CurrentRow(), 40);
  const QRect shown = view().viewport()->rect();
  EXPECT_TRUE(shown.contains(view().visualRect(view().model()->index(41, 0)))) << "row 40 is the second-last whole row";
  EXPECT_FALSE(shown.contains(view().visualRect(view().model()->index(42, 0))));
}

TEST_F(StatusEditorWindowTest, NavigationKeysAreSwallowedAndEnterOpensTheCurrentRow) {
  OpenOnProtocol(10, "protocol-three-status-rows.cfg");
  Click(1);
  for (Qt::Key key : {Qt::Key_Home, Qt::Key_End, Qt::Key_PageDown, Qt::Key_PageUp, Qt::Key_Right}) {
    Key(key);
    EXPECT_EQ(CurrentRow(), 1) << key;
    EXPECT_EQ(view().currentIndex().column(), 0) << key;
  }
  Key(Qt::Key_Down);
  Key(Qt::Key_Down);
  EXPECT_EQ(CurrentRow(), 3) << "Down reaches the first free row";
  Key(Qt::Key_Down);
  EXPECT_EQ(CurrentRow(), 3) << "and goes no further";
  Key(Qt::Key_Up);
  EXPECT_EQ(CurrentRow(), 2);

  Key(Qt::Key_Return);
  EXPECT_TRUE(Widget<QGroupBox>("fEntry")->isVisible());
  EXPECT_EQ(Widget<QComboBox>("cbStatus")->currentText(), QStringLiteral("LB")) << "\"Net\" is not in the list";
  EXPECT_EQ(Widget<QLineEdit>("te(2)")->text(), QStringLiteral("8"));
  EXPECT_FALSE(view().isEnabled());
  EXPECT_FALSE(Widget<QPushButton>("cmdOk")->isEnabled());
  EXPECT_FALSE(Widget<QPushButton>("cmdCancel")->isEnabled());
  EXPECT_FALSE(Widget<QGroupBox>("fConnection")->isEnabled());

  Press("cmdCancelEntry");
  EXPECT_FALSE(Widget<QGroupBox>("fEntry")->isVisible());
  EXPECT_TRUE(view().isEnabled());
  EXPECT_TRUE(Widget<QPushButton>("cmdOk")->isEnabled());
}

TEST_F(StatusEditorWindowTest, ALongCellIsShownWholeWhileTypingKeepsToTheBoxLength) {
  OpenOnProtocol(10, "protocol-three-status-rows.cfg");
  SetRow(table(), 0, {"Motion", "1 / MOTION", "123456", "12345", "ABCDEFGHIJ", "X"});
  dialog().Grid().Refresh();
  DoubleClick(0);
  EXPECT_EQ(Widget<QLineEdit>("te(0)")->text(), QStringLiteral("123456"));
  EXPECT_EQ(Widget<QLineEdit>("te(1)")->text(), QStringLiteral("12345"));
  EXPECT_EQ(Widget<QLineEdit>("te(2)")->text(), QStringLiteral("ABCDEFGHIJ"));
  Type("te(0)", "98765");
  EXPECT_EQ(entry().te[0].Text(), "9876");
  Type("te(2)", "a\"b");
  EXPECT_EQ(entry().te[2].Text(), "ab") << "the protocol file quotes its texts";
}

TEST_F(StatusEditorWindowTest, ABuiltInProtocolsListIsGreyAndOpensNothing) {
  OpenOnProtocol(3, "protocol-three-status-rows.cfg");
  EXPECT_FALSE(view().isEnabled());
  EXPECT_EQ(view().model()->index(0, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(0x80, 0x80, 0x80));
  DoubleClick(1);
  Key(Qt::Key_Return);
  EXPECT_FALSE(Widget<QGroupBox>("fEntry")->isVisible());
  EXPECT_EQ(CurrentRow(), 0);

  Choose("cb(3)", 10);  // a custom protocol unlocks the list
  EXPECT_TRUE(view().isEnabled());
  EXPECT_EQ(view().model()->index(0, 0).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::black));
}

TEST_F(StatusEditorWindowTest, EditingACustomProtocolsTableAndPressingOkWritesItsFile) {
  OpenOnProtocol(10, "protocol-three-status-rows.cfg");

  // "Range" becomes an out-of-range test on the error field with mask 16.
  DoubleClick(1);
  Choose("cbStatus", 25);
  Choose("cbDDE", 3);
  Type("te(2)", "16");
  Press("cmdReplace");

  // A stable entry, not used, goes in before the first row.
  Click(0);
  Key(Qt::Key_Return);
  Choose("cbStatus", 27);
  Type("te(0)", "3b1");
  Widget<QCheckBox>("cke")->click();
  Press("cmdInsert");

  // "Net", now row 3, goes.
  DoubleClick(3);
  Press("cmdDelete");

  // A new entry on the first free row: a click further down lands there.
  Click(9);
  DoubleClick(3);
  Choose("cbStatus", 22);
  Choose("cbDDE", 1);
  Type("te(0)", "2");
  Type("te(1)", "1");
  Type("te(2)", "8");
  Press("cmdReplace");

  Press("cmdOk");
  EXPECT_FALSE(dialog().IsOpen());
  EXPECT_TRUE(messageBox.shown().empty());
  EXPECT_EQ(ReadBytes(ProtocolPath(10)), ReadBytes(std::string(TARVEX_TEST_DATA) + "/status_editor/custom-protocol-edited.cfg"));
}

}  // namespace
}  // namespace tarvex::test
