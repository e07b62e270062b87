// The setup dialog as the keyboard walks it and as the window manager may
// size it: Tab goes through the controls in their layout's order (frame by
// frame, in each top to bottom and left to right), OK and Cancel last; the
// layout is fixed, so the window cannot be made smaller (which hid OK and
// Cancel) or larger.
#include <QApplication>
#include <QGroupBox>
#include <cstdlib>
#include <set>
#include <vector>

#include "config/setup_dialog/widget/setup_dialog_widget.h"
#include "tests/support/setup_dialog_harness.h"
#include "tests/support/widget_application.h"

namespace tarvex {
namespace {

class SetupDialogKeyboardTest : private test::WidgetApplication, public SetupDialogTest {
protected:
  SetupDialogWidget window{dialog};

  // The frame (or the control itself) that stands on the window.
  QWidget* rootOf(QWidget* widget) const {
    // Walks up to the window's direct child.
    while (widget->parentWidget() && widget->parentWidget() != &window) widget = widget->parentWidget();
    return widget;
  }
  QPoint at(QWidget* widget) const { return widget->mapTo(&window, QPoint(0, 0)); }

  // The dialog's controls in the order Tab reaches them from the first one.
  std::vector<QWidget*> tabOrder() const {
    std::vector<QWidget*> order;
    std::set<QWidget*> named;
    for (QWidget* child : window.findChildren<QWidget*>()) {
      if (!child->objectName().isEmpty() && window.ControlWidget(child->objectName().toStdString()) == child &&
          (child->focusPolicy() & Qt::TabFocus)) {
        named.insert(child);
      }
    }
    QWidget* widget = const_cast<SetupDialogWidget*>(&window);
    for (size_t step = 0; step < 4 * named.size() + 8; ++step) {
      widget = widget->nextInFocusChain();
      if (widget == &window) break;
      if (named.count(widget)) order.push_back(widget);
    }
    return order;
  }
};

TEST_F(SetupDialogKeyboardTest, tabFollowsTheLayoutFrameByFrameWithOkAndCancelLast) {
  const std::vector<QWidget*> order = tabOrder();
  ASSERT_GE(order.size(), 10u);
  EXPECT_EQ(order[order.size() - 2]->objectName(), QStringLiteral("cmdOk"));
  EXPECT_EQ(order.back()->objectName(), QStringLiteral("cmdCancel"));

  // Each frame's controls come together, and within a frame each next control
  // is on a lower row or further right on the same row.
  std::set<QWidget*> framesLeft;
  for (size_t i = 1; i + 2 < order.size(); ++i) {
    QWidget* before = order[i - 1];
    QWidget* next = order[i];
    const QString pair = before->objectName() + QStringLiteral(" -> ") + next->objectName();
    if (rootOf(before) != rootOf(next)) {
      framesLeft.insert(rootOf(before));
      EXPECT_EQ(framesLeft.count(rootOf(next)), 0u) << "a frame entered twice: " << pair.toStdString();
      // The frames themselves in reading order.
      const QPoint a = at(rootOf(before)), b = at(rootOf(next));
      EXPECT_TRUE(b.y() > a.y() + 8 || (std::abs(b.y() - a.y()) <= 8 && b.x() > a.x()))
          << "frames out of order: " << pair.toStdString() << " from (" << a.x() << "," << a.y() << ") to ("
          << b.x() << "," << b.y() << ")";
      continue;
    }
    const QPoint a = at(before), b = at(next);
    const bool lowerRow = b.y() > a.y() + 8;
    const bool sameRowRight = std::abs(b.y() - a.y()) <= 8 && b.x() > a.x();
    EXPECT_TRUE(lowerRow || sameRowRight) << pair.toStdString() << " at (" << a.x() << "," << a.y() << ") then ("
                                          << b.x() << "," << b.y() << ")";
  }
}

TEST_F(SetupDialogKeyboardTest, theWindowHasOneFixedSize) {
  EXPECT_EQ(window.minimumSize(), window.maximumSize());
  EXPECT_EQ(window.size(), window.minimumSize());
  EXPECT_GT(window.width(), 700);
}

}  // namespace
}  // namespace tarvex
