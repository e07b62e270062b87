// Two defects of use in the operator windows, on the widgets themselves:
// the detail window's RAW label shows a frame's control characters by name,
// so the terminator does not break the line and STX is no empty box; and the
// keypad's drawn keys send as a click does, on the release over the key that
// was pressed, so a press dragged off the key sends nothing.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMouseEvent>
#include <QTest>

#include "tests/support/keypad_rig.h"
#include "tests/support/operator_window_rig.h"
#include "tests/support/widget_application.h"
#include "ui/detail/widget/detail_widget.h"
#include "ui/keypad/widget/zelvar_widget.h"

namespace tarvex::test {
namespace {

class RawLabelTest : public ::testing::Test, private WidgetApplication {
protected:
  OperatorWindowRig rig;
  DetailWindow window{rig.config, rig.main};
  DetailWidget widget{window};
};

TEST_F(RawLabelTest, controlCharactersOfTheFrameShowByName) {
  struct Case {
    std::string frame;
    QString shown;
  };
  const Case cases[] = {
      {"\x02+0001.50kg\r\n ==> 14", QStringLiteral("<STX>+0001.50kg<CR><LF> ==> 14")},
      {std::string("\0\x01\x03\x09\x1b\x1f\x7f", 7), QStringLiteral("<NUL><SOH><ETX><HT><ESC><US><DEL>")},
      {"ST,GS,  12.5 kg ==> 16", QStringLiteral("ST,GS,  12.5 kg ==> 16")},
      {"\xb5g\x0d", QString::fromLatin1("\xb5g<CR>")},
  };
  rig.values.SelectedChannel = 0;
  window.Show();
  for (const Case& c : cases) {
    window.SetCaption(DetailLabel::Raw, c.frame);
    auto* raw = widget.findChild<QLabel*>(QStringLiteral("Ld(22)"));
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(raw->text(), c.shown) << c.shown.toStdString();
    EXPECT_FALSE(raw->text().contains(QLatin1Char('\n')));
  }
}

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
