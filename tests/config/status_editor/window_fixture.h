#pragma once
// The setup dialog with the status-table editor fitted in, its window shown
// offscreen, on the real configuration procedure in a private program folder.
// Channel 0 (the file "Tarvex-SCALE1.Cfg") uses the protocol a test gives it.
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <memory>

#include "config/setup_dialog/setup_dialog_instance.h"
#include "config/setup_dialog/widget/setup_dialog_window_host.h"
#include "config/status_editor/widget/status_editor_window.h"
#include "tests/support/config_fixture.h"
#include "tests/support/setup_dialog_harness.h"

namespace tarvex::test {

// Made once, before the first widget, and kept to the end of the run.
inline void EnsureApplication() {
  static int argc = 1;
  static char name[] = "status_editor_window_tests";
  static char* argv[] = {name, nullptr};
  if (!QApplication::instance()) new QApplication(argc, argv);
}

struct WithApplication {
  WithApplication() { EnsureApplication(); }
};

class StatusEditorWindowTest : private WithApplication, public ConfigFolderTest {
protected:
  StatusEditorWindowTest() {
    startup.StatusTable().ReDim(0, 99, 0, 5);
    startup.ScreenWidth = 800;
    cfg.SetDialogTransfer(&instance);
    instance.OnCreated([this](SetupDialog& dialog) {
      editor = std::make_unique<SetupDialogStatusEditor>(dialog, startup);
      windows = std::make_unique<SetupDialogWindowHost>(dialog);
      editorWindows = std::make_unique<StatusEditorWindowHost>(dialog, *windows, *editor);
    });
  }

  // Channel 0 on protocol with the given protocol file (none for nullptr),
  // then the Setup button for it.
  void OpenOnProtocol(int protocol, const char* protocolFixture) {
    std::string channel = WithFolder(Fixture("default-channel-1.cfg"), folder.path());
    channel.replace(0, channel.find(','), std::to_string(protocol));
    WriteBytes(Path("Tarvex-SCALE1.Cfg"), channel);
    if (protocolFixture) WriteBytes(ProtocolPath(protocol), Fixture(protocolFixture));
    instance.Get().OpenForChannel(0);
    ASSERT_NE(windows->Window(), nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(windows->Window()));
  }
  std::string ProtocolPath(int protocol) const { return Path(startup.Tables.CfgFileNames(protocol).substr(1)); }

  SetupDialog& dialog() { return instance.Get(); }
  StatusEntryForm& entry() { return editor->Entry(); }
  StatusListWidget& view() { return editorWindows->Window()->List(); }
  DataArray& table() { return startup.StatusTable(); }
  template <typename W>
  W* Widget(const char* name) {
    auto* widget = qobject_cast<W*>(windows->Window()->ControlWidget(name));
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  QPoint CellCentre(int row, int column = 0) {
    return view().visualRect(view().model()->index(row, column)).center();
  }
  void Click(int row, int column = 0) {
    QTest::mouseClick(view().viewport(), Qt::LeftButton, {}, CellCentre(row, column));
  }
  void DoubleClick(int row, int column = 0) {
    QTest::mouseDClick(view().viewport(), Qt::LeftButton, {}, CellCentre(row, column));
  }
  void Key(Qt::Key key) { QTest::keyClick(&view(), key); }
  int CurrentRow() { return view().currentIndex().row(); }
  // Replaces a box's text as the user does: all of it selected, then typed.
  void Type(const char* box, const char* text) {
    auto* edit = Widget<QLineEdit>(box);
    edit->selectAll();
    if (*text) {
      QTest::keyClicks(edit, QString::fromLatin1(text));
    } else {
      QTest::keyClick(edit, Qt::Key_Delete);
    }
  }
  void Choose(const char* list, int index) { Widget<QComboBox>(list)->setCurrentIndex(index); }
  void Press(const char* button) { QTest::mouseClick(Widget<QPushButton>(button), Qt::LeftButton); }

  Journal journal;
  SetupHandoverState handover;
  ScanSide scan;
  RecordingMessageBox messageBox;
  RecordingMainWindow mainWindow{journal, scan};
  SetupDialogInstance instance{SetupDialogServices{*config, startup, handover, log, messageBox, mainWindow, scan.Handover()}, cfg};
  std::unique_ptr<SetupDialogStatusEditor> editor;
  std::unique_ptr<SetupDialogWindowHost> windows;
  std::unique_ptr<StatusEditorWindowHost> editorWindows;
};

}  // namespace tarvex::test
