// The virtual keypad on the screen: its keys and clicks reaching the network,
// its place on the screen, and the error box's Escape (on an X screen only).
// With TARVEX_SCREENSHOTS set to a folder, the window is saved there as a
// picture.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "platform/qt_message_box.h"
#include "tests/support/widget_application.h"
#include "tests/ui/keypad/keypad_rig.h"
#include "ui/keypad/widget/zelvar_widget.h"

namespace tarvex::test {
namespace {

class ZelvarWidgetTest : public ::testing::Test, private WidgetApplication {
protected:
  QWidget* Child(const QString& name) const { return widget.findChild<QWidget*>(name); }

  KeypadRig rig;
  ZelvarWidget widget{rig.keypad};
};

TEST_F(ZelvarWidgetTest, clicksAndTypedKeysReachTheChosenNode) {
  rig.values.SelectedChannel = 6;
  rig.keypad.Show();
  EXPECT_EQ(widget.windowTitle(), QStringLiteral(" Tarvex Channel 7  Virtual Zelvar..."));
  QWidget* display = Child(QStringLiteral("Picture1"));
  ASSERT_NE(display, nullptr);

  QTest::keyClick(display, Qt::Key_7);  // no node yet
  QTest::mouseClick(widget.findChild<QRadioButton*>(QStringLiteral("Option1(2)")), Qt::LeftButton);
  QTest::mouseClick(Child(QStringLiteral("Key_7")), Qt::LeftButton);
  QTest::keyClick(display, Qt::Key_Return);
  QTest::keyClick(display, Qt::Key_F9);
  QTest::keyClick(display, Qt::Key_A);
  QTest::mouseClick(Child(QStringLiteral("Key_E")), Qt::LeftButton);
  EXPECT_EQ(rig.network.Keystrokes(),
            (std::vector<ReceivedKeystroke>{{3, 0, 55}, {3, 0, 8}, {3, 0, 13}, {3, 0, 4}, {3, 0, 97}, {3, 0, 8}}));

  for (QLabel* label : widget.findChildren<QLabel*>()) {
    EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
  }
  SaveScreenshot(widget, "ZELVAR.png");
}

TEST_F(ZelvarWidgetTest, keysThatTypeNoCharacterOnTheOperatorsKeyboardSendNothing) {
  // The X server gives Delete the character 127; an operator's keyboard types
  // none for it, so the terminal must not receive one.
  rig.keypad.Show();
  QTest::mouseClick(widget.findChild<QRadioButton*>(QStringLiteral("Option1(0)")), Qt::LeftButton);
  QWidget* display = Child(QStringLiteral("Picture1"));
  QKeyEvent deleteAsTheXServerSendsIt(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QString(QChar(127)));
  QApplication::sendEvent(display, &deleteAsTheXServerSendsIt);
  QTest::keyClick(display, Qt::Key_Left);
  QTest::keyClick(display, Qt::Key_Backspace);
  EXPECT_EQ(rig.network.Keystrokes(), (std::vector<ReceivedKeystroke>{{1, 1, 6}, {1, 1, 8}}));
}

TEST_F(ZelvarWidgetTest, theWindowIsCentredOnTheScreenAndItsFramesCloseRunsClose) {
  rig.keypad.Show();
  const QRect screen = widget.screen()->geometry();
  EXPECT_EQ(widget.pos(), QPoint((screen.width() - widget.width()) / 2, (screen.height() - widget.height()) / 2));
  EXPECT_TRUE(widget.windowFlags().testFlag(Qt::WindowStaysOnTopHint));

  widget.close();
  EXPECT_FALSE(widget.isVisible());
  EXPECT_EQ(rig.trace, (std::vector<std::string>{"buttons enabled", "focus cmdDetail(0)"}));
}

// A box of style shown by the program's message box and answered with
// Escape: the answer, and the text as the box holds it.
struct EscapedBox {
  int answer;
  Qt::TextFormat format = Qt::AutoText;
  QString text;
};
EscapedBox ShowAndEscape(const std::string& text, int style) {
  QtMessageBox box;
  EscapedBox seen{};
  QTimer::singleShot(0, [&] {
    auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (shown == nullptr) return;
    seen.format = shown->textFormat();
    seen.text = shown->text();
    QTest::keyClick(shown, Qt::Key_Escape);
  });
  seen.answer = box.Show(text, style, "Unknown Error");
  return seen;
}

// The box is shown only on a screen someone could see: these tests run on a
// virtual X screen (message_box_on_screen_test.sh).
class TerminalErrorBoxTest : public ::testing::Test, private WidgetApplication {
protected:
  void SetUp() override {
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
      GTEST_SKIP() << "no box is shown on this platform";
    }
  }
};

TEST_F(TerminalErrorBoxTest, escapeAnswersIgnoreAndTheTextIsNoMarkup) {
  const EscapedBox seen =
      ShowAndEscape("Error Code= <b>x</b>", MsgBoxStyle::AbortRetryIgnore | MsgBoxStyle::Exclamation);
  EXPECT_EQ(seen.answer, MsgBoxResult::Ignore);
  EXPECT_EQ(seen.format, Qt::PlainText);
  EXPECT_EQ(seen.text, QStringLiteral("Error Code= <b>x</b>"));
}

TEST_F(TerminalErrorBoxTest, escapeNeverAnswersWithTheActingButtonOfAnyStyle) {
  const struct {
    int style;
    int answer;
  } rows[] = {
      {MsgBoxStyle::OkOnly, MsgBoxResult::Ok},          {MsgBoxStyle::OkCancel, MsgBoxResult::Cancel},
      {MsgBoxStyle::AbortRetryIgnore, MsgBoxResult::Ignore}, {MsgBoxStyle::YesNoCancel, MsgBoxResult::Cancel},
      {MsgBoxStyle::YesNo, MsgBoxResult::No},           {MsgBoxStyle::RetryCancel, MsgBoxResult::Cancel},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ShowAndEscape("text", row.style | MsgBoxStyle::Question).answer, row.answer) << row.style;
  }
}

}  // namespace
}  // namespace tarvex::test
