// The two windows on the screen: labels that show outside text literally,
// the captions beside their values, the frame's close running Close, the
// keypad's keys and clicks reaching the network, its place on the screen,
// and the error box's Escape (on an X screen only). With TARVEX_SCREENSHOTS
// set to a folder, the windows are saved there as pictures.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include "platform/qt_message_box.h"
#include "tests/support/keypad_rig.h"
#include "ui/detail/widget/detail_widget.h"
#include "ui/keypad/widget/zelvar_widget.h"

namespace tarvex::test {
namespace {

void Application() {
  static int argc = 1;
  static char name[] = "detail-keypad-widget-tests";
  static char* argv[] = {name, nullptr};
  if (QCoreApplication::instance() == nullptr) new QApplication(argc, argv);
}

void SaveScreenshot(QWidget& widget, const char* name) {
  const QByteArray folder = qgetenv("TARVEX_SCREENSHOTS");
  if (folder.isEmpty()) return;
  QDir().mkpath(QString::fromLocal8Bit(folder));
  widget.grab().save(QString::fromLocal8Bit(folder) + QLatin1Char('/') + QLatin1String(name));
}

// Made before the widgets of a fixture, which need the application.
class WithApplication {
protected:
  WithApplication() { Application(); }
};

class DetailWidgetTest : public ::testing::Test, private WithApplication {
protected:
  QLabel* Label(const QString& name) const { return widget.findChild<QLabel*>(name); }

  OperatorWindowRig rig;
  DetailWindow window{rig.config, rig.main};
  DetailWidget widget{window};
};

TEST_F(DetailWidgetTest, everyLabelShowsOutsideTextLiterally) {
  rig.values.SelectedChannel = 0;
  rig.config.Channels[0].DeviceDescs = "<img src=\"/etc/passwd\">";
  window.Show();
  window.SetCaption(DetailLabel::Raw, "<b>x</b> ==> 8");
  window.SetCaptionLabelVisible(DetailLabel::Raw, true);
  window.SetCaption(DetailLabel::Error, "<i>OVER</i>");

  for (QLabel* label : widget.findChildren<QLabel*>()) {
    EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
  }
  EXPECT_EQ(Label(QStringLiteral("Ld(22)"))->text(), QStringLiteral("<b>x</b> ==> 8"));
  EXPECT_TRUE(Label(QStringLiteral("l(22)"))->isVisible());
  EXPECT_EQ(Label(QStringLiteral("Ld(9)"))->text(), QStringLiteral("<i>OVER</i>"));
  EXPECT_EQ(Label(QStringLiteral("Ld(21)"))->text(), QStringLiteral("<img src=\"/etc/passwd\">"));
  EXPECT_EQ(widget.windowTitle(), QStringLiteral(" Tarvex Channel 1  Device Detail..."));
  EXPECT_TRUE(widget.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  window.SetCaption(DetailLabel::Gross, "1234.5");
  window.SetCaption(DetailLabel::Tare, "12.0");
  window.SetCaption(DetailLabel::Net, "1222.5");
  SaveScreenshot(widget, "frmDetail.png");
}

TEST_F(DetailWidgetTest, eachCaptionStandsOnTheRowOfItsValue) {
  for (int i = 0; i < DetailLabel::Count; ++i) {
    const QLabel* caption = Label(QStringLiteral("l(%1)").arg(CaptionBeside(i)));
    const QLabel* value = Label(QStringLiteral("Ld(%1)").arg(i));
    EXPECT_EQ(caption->geometry().top(), value->geometry().top()) << i;
    EXPECT_LT(caption->geometry().right(), value->geometry().left()) << i;
  }
  EXPECT_EQ(Label(QStringLiteral("l(12)"))->text(), QStringLiteral("UNITS:"));
}

TEST_F(DetailWidgetTest, theFramesCloseRunsClose) {
  window.Show();
  ASSERT_TRUE(widget.isVisible());
  rig.values.DetailOpen[0] = true;
  widget.close();
  EXPECT_FALSE(widget.isVisible());
  EXPECT_FALSE(rig.values.DetailOpen[0]);
  EXPECT_EQ(rig.trace, (std::vector<std::string>{"buttons enabled", "focus cmdDetail(0)"}));

  window.Show();
  QTest::mouseClick(widget.findChild<QPushButton*>(QStringLiteral("cmdClose")), Qt::LeftButton);
  EXPECT_FALSE(widget.isVisible());
  EXPECT_EQ(rig.trace.size(), 4u);
}

class ZelvarWidgetTest : public ::testing::Test, private WithApplication {
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
class TerminalErrorBoxTest : public ::testing::Test, private WithApplication {
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
