// The keypad's drawn keys send as a click does, on the release over the key
// that was pressed, so a press dragged off the key sends nothing.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>

#include "tests/support/widget_application.h"
#include "tests/ui/keypad/keypad_rig.h"
#include "ui/keypad/widget/zelvar_widget.h"

namespace tarvex::test {
namespace {

class DrawnKeyTest : public ::testing::Test, private WidgetApplication {
protected:
  DrawnKeyTest() {
    rig.values.SelectedChannel = 6;
    rig.keypad.Show();
    QTest::mouseClick(widget.findChild<QWidget*>(QStringLiteral("Option1(2)")), Qt::LeftButton);
  }
  QWidget* Key(const char* name) const { return widget.findChild<QWidget*>(QString::fromLatin1(name)); }
  size_t Sent() const { return rig.network.Keystrokes().size(); }

  KeypadRig rig;
  ZelvarWidget widget{rig.keypad};
};

TEST_F(DrawnKeyTest, aKeySendsOnItsReleaseOverItAndNotOnThePress) {
  QWidget* seven = Key("Key_7");
  ASSERT_NE(seven, nullptr);
  const QPoint middle = seven->rect().center();

  QTest::mousePress(seven, Qt::LeftButton, {}, middle);
  EXPECT_EQ(Sent(), 0u) << "the press alone sent the key";
  QTest::mouseRelease(seven, Qt::LeftButton, {}, middle);
  ASSERT_EQ(Sent(), 1u);
  EXPECT_EQ(rig.network.Keystrokes().back(), (ReceivedKeystroke{3, 0, 55}));
}

TEST_F(DrawnKeyTest, aPressDraggedOffTheKeySendsNothing) {
  QWidget* seven = Key("Key_7");
  QWidget* eight = Key("Key_8");
  ASSERT_NE(seven, nullptr);
  ASSERT_NE(eight, nullptr);
  // Released beside the key, and released over another key: the release
  // arrives at the key that was pressed, as the mouse's grab gives it.
  for (const QPoint off : {QPoint(-20, -20), seven->mapFrom(&widget, eight->geometry().center())}) {
    QTest::mousePress(seven, Qt::LeftButton, {}, seven->rect().center());
    QTest::mouseRelease(seven, Qt::LeftButton, {}, off);
  }
  EXPECT_EQ(Sent(), 0u);
}

}  // namespace
}  // namespace tarvex::test
