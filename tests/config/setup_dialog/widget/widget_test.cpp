#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "config/setup_dialog/widget/original_key_code.h"
#include "config/setup_dialog/widget/setup_dialog_widget.h"
#include "config/setup_dialog/widget/setup_dialog_window_host.h"
#include "tests/support/setup_dialog_harness.h"

namespace tarvex {
namespace {

// The application lives from the first test to the end of the run, and is
// gone before the program's static objects are.
class ApplicationEnvironment final : public testing::Environment {
public:
  static void Ensure() {
    if (!app_) testing::AddGlobalTestEnvironment(new ApplicationEnvironment);
    if (!app_) app_ = new QApplication(argc_, argv_);
  }
  void TearDown() override {
    delete app_;
    app_ = nullptr;
  }

private:
  static inline int argc_ = 1;
  static inline char name_[] = "setup_dialog_widget_tests";
  static inline char* argv_[] = {name_, nullptr};
  static inline QApplication* app_ = nullptr;
};

void App() { ApplicationEnvironment::Ensure(); }

// Constructed before the test's widgets.
struct WithApplication {
  WithApplication() { App(); }
};

class WidgetTest : private WithApplication, public SetupDialogTest {
protected:
  template <typename W>
  W* Find(const char* name) {
    auto* widget = qobject_cast<W*>(window.ControlWidget(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }
  static QColor BoxColour(const QWidget* widget, QPalette::ColorGroup group) {
    return widget->palette().color(group, QPalette::Base);
  }

  SetupDialogWidget window{dialog};
};

TEST_F(WidgetTest, widgetsCarryTheControlNames) {
  for (const char* name : {"cb(0)", "cb(6)", "lCb4(1)", "ltTxDelay(0)", "ckBidirectional", "ckInteractiveDBErrors",
                           "tDeviceDesc", "tOpcTag(6)", "t(10)", "ck(3)", "ckCmd(9)", "tCmdValue(9)", "tCmdStart",
                           "fConnection", "fCommand", "fOPC", "fDataMap", "fDataField", "fStatus", "fMisc", "cmdOk",
                           "cmdCancel", "cmdCommands", "cmdOPC", "cmdDataMap", "lDEVICE(1)", "lWarning(0)",
                           "lDebugMode", "sRect(3)", "sCmdRect(0)"}) {
    QWidget* widget = window.findChild<QWidget*>(QString::fromLatin1(name));
    EXPECT_NE(widget, nullptr) << name;
  }
  EXPECT_EQ(window.objectName(), QStringLiteral("frmTarvexStdSetup"));
  EXPECT_NE(window.findChild<QWidget*>(QStringLiteral("Picture1")), nullptr);
  EXPECT_EQ(window.StatusListArea()->parentWidget(), window.ControlWidget("fStatus"));
  EXPECT_EQ(Find<QGroupBox>("fMisc")->title(), QStringLiteral(" &Misc. Features "));
}

TEST_F(WidgetTest, listsStartWithoutSelectionAndFollowTheForm) {
  auto* protocols = Find<QComboBox>("cb(3)");
  EXPECT_EQ(protocols->count(), 42);
  EXPECT_EQ(protocols->currentIndex(), -1);
  EXPECT_EQ(form().cb[3].ListIndex(), -1);  // filling the combo box ran no logic
  EXPECT_FALSE(form().lWarning[0].Visible());

  startup.EditFixedProtocols = true;
  form().cb[3].SetListIndex(12);
  EXPECT_EQ(protocols->currentIndex(), 12);
  EXPECT_TRUE(Find<QLabel>("lWarning(0)")->isVisibleTo(&window));

  // The user's choice runs the form's logic.
  Find<QComboBox>("cb(0)")->setCurrentIndex(1);
  EXPECT_EQ(form().cb[0].ListIndex(), 1);
  EXPECT_TRUE(Find<QCheckBox>("ckEnableVZel")->isEnabled());
  EXPECT_FALSE(Find<QComboBox>("cb(1)")->isEnabled());
}

TEST_F(WidgetTest, checkBoxesAndButtonsPassTheUsersActionsOn) {
  Find<QCheckBox>("ckOPC")->click();
  EXPECT_EQ(form().ckOPC.Value(), 1);
  auto* opc = Find<QPushButton>("cmdOPC");
  ASSERT_TRUE(opc->isEnabled());
  opc->click();
  EXPECT_TRUE(form().fOPC.Visible());
  EXPECT_EQ(opc->text(), QStringLiteral("OPC Setup <<"));
  EXPECT_EQ(opc->toolTip(), QStringLiteral("Hide OPC Setup..."));
  EXPECT_FALSE(Find<QGroupBox>("fMisc")->isEnabled());
  form().ckOPC.SetValue(0);
  EXPECT_FALSE(Find<QCheckBox>("ckOPC")->isChecked());
  EXPECT_FALSE(opc->isEnabled());
  EXPECT_TRUE(Find<QGroupBox>("fMisc")->isEnabled());
}

TEST_F(WidgetTest, boxColoursHoldWhetherTheBoxIsEnabledOrNot) {
  const QColor white(255, 255, 255), grey(0xE0, 0xE0, 0xE0);
  auto* txDelay = Find<QLineEdit>("tTxDelay");
  auto* port = Find<QComboBox>("cb(1)");
  EXPECT_FALSE(txDelay->isEnabled());
  EXPECT_EQ(BoxColour(txDelay, QPalette::Disabled), grey);

  form().cb[3].SetListIndex(5);
  form().cb[0].SetListIndex(0);  // serial, Bi-Directional off: disabled but white
  EXPECT_FALSE(txDelay->isEnabled());
  EXPECT_EQ(BoxColour(txDelay, QPalette::Disabled), white);
  EXPECT_EQ(BoxColour(txDelay, QPalette::Active), white);
  EXPECT_EQ(BoxColour(port, QPalette::Active), white);

  form().cb[0].SetListIndex(2);
  EXPECT_EQ(BoxColour(txDelay, QPalette::Disabled), grey);
  EXPECT_EQ(BoxColour(port, QPalette::Disabled), grey);
  EXPECT_FALSE(port->isEnabled());

  EXPECT_EQ(Find<QLabel>("lWarning(0)")->palette().color(QPalette::Active, QPalette::WindowText), QColor(0x80, 0, 0));
  EXPECT_EQ(Find<QLabel>("lWarning(1)")->palette().color(QPalette::Active, QPalette::WindowText), QColor(0, 0, 0xC0));
}

TEST_F(WidgetTest, textsSetByCodeAreNotClippedButTypingIsLimited) {
  form().tDeviceID.SetMaxLength(4);
  form().tDeviceID.SetText("123456");
  auto* id = Find<QLineEdit>("tDeviceID");
  EXPECT_EQ(id->text(), QStringLiteral("123456"));
  id->setFocus();
  id->end(false);
  QTest::keyClick(id, Qt::Key_7);
  EXPECT_EQ(form().tDeviceID.Text(), "123456");
  QTest::keyClick(id, Qt::Key_Backspace);
  QTest::keyClick(id, Qt::Key_Backspace);
  QTest::keyClick(id, Qt::Key_Backspace);
  QTest::keyClicks(id, QStringLiteral("89"));
  EXPECT_EQ(form().tDeviceID.Text(), "1238");
}

TEST_F(WidgetTest, fileTextBoxesRefuseQuotesAndLineBreaks) {
  auto* desc = Find<QLineEdit>("tDeviceDesc");
  QTest::keyClicks(desc, QStringLiteral("Sc\"ale"));
  EXPECT_EQ(form().tDeviceDesc.Text(), "Scale");
  desc->insert(QStringLiteral("\r\nX"));
  EXPECT_EQ(form().tDeviceDesc.Text(), "Scale");
  auto* refresh = Find<QLineEdit>("tRefresh");  // a number, not a file text
  QTest::keyClicks(refresh, QStringLiteral("1\""));
  EXPECT_EQ(form().tRefresh.Text(), "1\"");
}

TEST_F(WidgetTest, numericBoxesCancelKeysOutsideTheirSet) {
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool passes;
  } rows[] = {{Qt::Key_5, Qt::NoModifier, true},        {Qt::Key_0, Qt::NoModifier, true},
              {Qt::Key_A, Qt::NoModifier, false},       {Qt::Key_Minus, Qt::NoModifier, false},
              {Qt::Key_Period, Qt::NoModifier, false},  {Qt::Key_5, Qt::KeypadModifier, false},
              {Qt::Key_Space, Qt::NoModifier, false},   {Qt::Key_V, Qt::ControlModifier, false}};
  auto* start = Find<QLineEdit>("t(0)");
  for (const auto& row : rows) {
    SCOPED_TRACE(row.key);
    form().t[0].SetText("1");
    start->end(false);
    QTest::keyClick(start, row.key, row.modifiers);
    EXPECT_EQ(form().t[0].Text().size(), row.passes ? 2u : 1u) << form().t[0].Text();
  }
  form().t[0].SetText("12");
  start->end(false);
  QTest::keyClick(start, Qt::Key_Backspace);
  QTest::keyClick(start, Qt::Key_Home);
  QTest::keyClick(start, Qt::Key_Delete);
  EXPECT_EQ(form().t[0].Text(), "");
}

TEST_F(WidgetTest, keyEventsGiveTheOriginalKeyCodes) {
  const struct {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int code;
  } rows[] = {{Qt::Key_0, Qt::NoModifier, 48},        {Qt::Key_9, Qt::NoModifier, 57},
              {Qt::Key_0, Qt::KeypadModifier, 96},    {Qt::Key_9, Qt::KeypadModifier, 105},
              {Qt::Key_A, Qt::ShiftModifier, 65},     {Qt::Key_Z, Qt::NoModifier, 90},
              {Qt::Key_Backspace, Qt::NoModifier, 8}, {Qt::Key_Tab, Qt::NoModifier, 9},
              {Qt::Key_Backtab, Qt::ShiftModifier, 9}, {Qt::Key_Return, Qt::NoModifier, 13},
              {Qt::Key_Enter, Qt::KeypadModifier, 13}, {Qt::Key_Escape, Qt::NoModifier, 27},
              {Qt::Key_End, Qt::NoModifier, 35},      {Qt::Key_Home, Qt::NoModifier, 36},
              {Qt::Key_Left, Qt::NoModifier, 37},     {Qt::Key_Up, Qt::NoModifier, 38},
              {Qt::Key_Right, Qt::NoModifier, 39},    {Qt::Key_Down, Qt::NoModifier, 40},
              {Qt::Key_Delete, Qt::NoModifier, 46},   {Qt::Key_Minus, Qt::NoModifier, 189},
              {Qt::Key_Minus, Qt::KeypadModifier, 109}, {Qt::Key_Period, Qt::NoModifier, 190},
              {Qt::Key_Exclam, Qt::ShiftModifier, 0}};
  for (const auto& row : rows) {
    const QKeyEvent event(QEvent::KeyPress, row.key, row.modifiers);
    EXPECT_EQ(OriginalKeyCode(event), row.code) << row.key;
  }
}

TEST_F(WidgetTest, focusSelectsTheWholeTextOfTheBoxesThatAskForIt) {
  form().tDeviceDesc.SetText("Line 1 Scale");
  form().t[0].SetText("12");
  for (const char* name : {"tDeviceDesc", "t(0)"}) {
    auto* box = Find<QLineEdit>(name);
    box->deselect();
    QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
    QApplication::sendEvent(box, &focus);
    QCoreApplication::processEvents();
    EXPECT_EQ(box->hasSelectedText(), std::string(name) == "tDeviceDesc") << name;
  }
  EXPECT_EQ(Find<QLineEdit>("tDeviceDesc")->selectedText(), QStringLiteral("Line 1 Scale"));
}

TEST_F(WidgetTest, focusEventsReachTheListsAndMarkers) {
  QFocusEvent in(QEvent::FocusIn, Qt::TabFocusReason);
  QApplication::sendEvent(window.ControlWidget("cb(5)"), &in);
  EXPECT_EQ(form().cb[5].ListIndex(), 0);
  QApplication::sendEvent(window.ControlWidget("ck(1)"), &in);
  EXPECT_TRUE(form().sRect[1].Visible());
  EXPECT_TRUE(window.ControlWidget("sRect(1)")->isVisibleTo(&window));
  QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(window.ControlWidget("ck(1)"), &out);
  EXPECT_FALSE(window.ControlWidget("sRect(1)")->isVisibleTo(&window));
}

TEST_F(WidgetTest, windowFollowsTheDialogAndItsFrameCloseActsAsCancel) {
  ChannelSetup record;
  record.ChannelProtocol = 4;
  Open(2, record);
  EXPECT_TRUE(window.isVisible());

  form().cmdCancel.SetEnabled(false);  // a status row is open
  window.close();
  EXPECT_TRUE(window.isVisible());
  EXPECT_TRUE(cfg.ops.empty());

  form().cmdCancel.SetEnabled(true);
  window.close();
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(cfg.ops, (std::vector<int>{4, 1, 10, 13, 1}));
  EXPECT_EQ(scan.ReinitChannel, 2);
}

TEST_F(WidgetTest, windowIsMadeAtTheFirstShowingAndKeptForTheRun) {
  SetupDialog other{SetupDialogServices{config, startup, handover, log, messageBox, mainWindow, scan.Handover()}, cfg};
  SetupDialogWindowHost host(other);
  other.Transfer().ChannelToDialog(0);  // used while hidden: no window yet
  EXPECT_EQ(host.Window(), nullptr);
  cfg.Attach(other.Transfer());
  other.OpenForChannel(1);
  SetupDialogWidget* first = host.Window();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(first->isVisible());
  other.cmdCancel_Click();
  EXPECT_FALSE(first->isVisible());
  other.OpenForChannel(2);
  EXPECT_EQ(host.Window(), first);
  EXPECT_TRUE(first->isVisible());
  cfg.Attach(dialog.Transfer());
}

TEST_F(WidgetTest, windowMadeAtTheFirstShowingLeavesTheDialogsOtherWatchersTold) {
  SetupDialog other{SetupDialogServices{config, startup, handover, log, messageBox, mainWindow, scan.Handover()}, cfg};
  SetupDialogWindowHost host(other);
  Window& form = other.Form().frmTarvexStdSetup;
  int shownSeen = 0;
  form.Watch([&] { shownSeen += form.Visible() ? 1 : 0; });
  cfg.Attach(other.Transfer());
  other.OpenForChannel(1);
  cfg.Attach(dialog.Transfer());
  ASSERT_NE(host.Window(), nullptr);
  EXPECT_EQ(shownSeen, 1);
}

TEST_F(WidgetTest, screenshotOfTheDialogForOneChannel) {
  ChannelSetup record;
  record.ChannelProtocol = 12;
  record.ConnectUsing = ConnectionType::PcSerialPort;
  record.ComPortIndex = 1;
  record.PortSettingsIndex = 33;
  record.DeviceDescs = "Line 1 Receiving Scale";
  record.DeviceID = "1";
  record.RefreshInterval = 50;
  record.TxDelay = 5;
  record.Timeout = 3000;
  record.DeviceEnabled = true;
  record.Bidirectional = true;
  record.DDEServerEnabled = true;
  record.AsciiLogEnabled = true;
  record.AsciiLogFileName = "Scale1.log";
  record.PrimaryUnits = 0;
  record.DecimalPlaces = 3;
  ProtocolDefinition protocol;
  protocol.StreamStartChar = 2;
  protocol.StreamEndChar = 13;
  protocol.GrossStart = 4;
  protocol.GrossLength = 7;
  protocol.GrossEnabled = true;
  protocol.NetStart = 12;
  protocol.NetLength = 7;
  protocol.NetEnabled = true;
  protocol.MaxStreamLength = 40;
  cfg.protocolFiles[12] = protocol;
  Open(2, record);
  QCoreApplication::processEvents();

  const QImage image = window.grab().toImage();
  EXPECT_EQ(image.width(), 780);
  const QString path = QStringLiteral(TARVEX_BUILD_DIR "/setup_dialog_channel3.png");
  EXPECT_TRUE(image.save(path));

  form().cmdCommands.Click();
  QCoreApplication::processEvents();
  EXPECT_TRUE(window.grab().toImage().save(QStringLiteral(TARVEX_BUILD_DIR "/setup_dialog_commands.png")));
}

}  // namespace
}  // namespace tarvex
