#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include "ui/startup/startup_artwork.h"
#include "ui/startup/startup_widget.h"

namespace tarvex {
namespace {

int argc = 1;
char name[] = "startup_widget_test";
char* argv[] = {name, nullptr};

class StartupWidgetTest : public testing::Test {
protected:
  QApplication app{argc, argv};

  template <class T>
  static T* child(const QWidget& window, const char* objectName) {
    return window.findChild<T*>(QString::fromLatin1(objectName));
  }
};

TEST_F(StartupWidgetTest, ControlsCarryTheirNamesAndDesignTexts) {
  StartupWidget window(ScreenLayout::Width1024);
  EXPECT_EQ(window.objectName(), QStringLiteral("frmTarvexStartup"));
  const std::pair<const char*, const char*> labels[] = {
      {"lSetupTitleForeground", "Tarvex Manager"}, {"lSetupTitleShadow", "Tarvex Manager"},
      {"lTitleCaptionName(0)", "Tarvex Manager"},  {"lTitleCaptionName(1)", "Tarvex Manager"},
      {"Label2", "Tarvex  "},                      {"Label3", "Tarvex  "},
      {"lRevision", "Revision:"},
  };
  for (const auto& [control, text] : labels) {
    SCOPED_TRACE(control);
    auto* label = child<QLabel>(window, control);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QString::fromLatin1(text));
  }
  EXPECT_EQ(child<QLabel>(window, "lSetupTitleForeground")->parent(), child<QFrame>(window, "Frame1"));
  EXPECT_EQ(child<QLabel>(window, "lSetupTitleShadow")->parent(), child<QFrame>(window, "Frame1"));
  for (const char* shadow : {"lSetupTitleShadow", "Label3"}) {
    EXPECT_EQ(child<QLabel>(window, shadow)->palette().color(QPalette::WindowText), QColor(192, 192, 192)) << shadow;
  }
  EXPECT_EQ(child<QLabel>(window, "lSetupTitleForeground")->font().family(), QStringLiteral("Arial"));
  EXPECT_EQ(child<QPushButton>(window, "CmdContinue")->text(), QStringLiteral("&Continue..."));
  EXPECT_EQ(child<QPushButton>(window, "cmdEnd")->text(), QStringLiteral("X"));
  EXPECT_EQ(child<QPushButton>(window, "cmdEnd")->font().family(), QStringLiteral("Arial"));
}

TEST_F(StartupWidgetTest, EachLayoutHasItsOwnPicturesAndFitsItsScreen) {
  const struct {
    ScreenLayout layout;
    QSize screen;
  } layouts[] = {{ScreenLayout::Width800, {800, 600}}, {ScreenLayout::Width1024, {1024, 768}}};
  for (const auto& l : layouts) {
    StartupWidget window(l.layout);
    EXPECT_LE(window.width(), l.screen.width());
    EXPECT_LE(window.height(), l.screen.height());
    for (const char* control : {"iVOLogo800", "iVOLogo1024", "iMenu800", "iMenu1024"}) {
      SCOPED_TRACE(control);
      auto* image = child<QLabel>(window, control);
      ASSERT_NE(image, nullptr);
      const QImage picture = image->pixmap().toImage();
      ASSERT_FALSE(picture.isNull());
      // Drawn, not blank: the picture holds more than one colour.
      EXPECT_NE(picture.pixel(picture.width() / 2, picture.height() / 2), picture.pixel(0, 0));
    }
    // The window shows the pictures of its own layout only; those fit, and
    // Continue sits on the main-choice picture.
    const bool small = l.layout == ScreenLayout::Width800;
    const QRect logo = child<QLabel>(window, small ? "iVOLogo800" : "iVOLogo1024")->geometry();
    const QRect menu = child<QLabel>(window, small ? "iMenu800" : "iMenu1024")->geometry();
    EXPECT_TRUE(window.rect().contains(logo));
    EXPECT_TRUE(window.rect().contains(menu));
    EXPECT_FALSE(logo.intersects(menu));
    EXPECT_TRUE(menu.contains(child<QPushButton>(window, "CmdContinue")->geometry()));
    EXPECT_EQ(child<QLabel>(window, "iVOLogo800")->pixmap().size(), LogoSize(ScreenLayout::Width800));
    EXPECT_EQ(child<QLabel>(window, "iVOLogo1024")->pixmap().size(), LogoSize(ScreenLayout::Width1024));
    EXPECT_EQ(child<QLabel>(window, "iMenu800")->pixmap().size(), MenuSize(ScreenLayout::Width800));
    EXPECT_EQ(child<QLabel>(window, "iMenu1024")->pixmap().size(), MenuSize(ScreenLayout::Width1024));
    EXPECT_NE(LogoSize(ScreenLayout::Width800), LogoSize(ScreenLayout::Width1024));
  }
}

TEST_F(StartupWidgetTest, RenderShowsTheControlStatesAndFocusesContinue) {
  StartupWidget window(ScreenLayout::Width1024);
  StartupControls controls;
  controls.Visible = true;
  controls.lRevision = "Rev: 1.0.0";
  controls.iVOLogo1024Visible = true;
  controls.iMenu1024Visible = true;
  controls.CmdContinueVisible = true;
  controls.CmdContinueFocused = true;
  window.Render(controls);
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

  auto* continueButton = child<QPushButton>(window, "CmdContinue");
  EXPECT_TRUE(window.isVisible());
  EXPECT_EQ(child<QLabel>(window, "lRevision")->text(), QStringLiteral("Rev: 1.0.0"));
  EXPECT_TRUE(child<QLabel>(window, "iVOLogo1024")->isVisible());
  EXPECT_FALSE(child<QLabel>(window, "iVOLogo800")->isVisible());
  EXPECT_TRUE(child<QLabel>(window, "iMenu1024")->isVisible());
  EXPECT_FALSE(child<QLabel>(window, "iMenu800")->isVisible());
  EXPECT_TRUE(continueButton->isVisible());
  EXPECT_TRUE(continueButton->isEnabled());
  EXPECT_EQ(window.focusWidget(), continueButton);
  EXPECT_FALSE(window.testAttribute(Qt::WA_SetCursor));

  controls.CmdContinueEnabled = false;
  controls.CmdContinueFocused = false;
  controls.MousePointer = MousePointer::Hourglass;
  window.Render(controls);
  EXPECT_FALSE(continueButton->isEnabled());
  EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor);

  controls.Visible = false;
  window.Render(controls);
  EXPECT_FALSE(window.isVisible());
}

TEST_F(StartupWidgetTest, ButtonsForwardTheirClicksAndACloseRequestIsRefused) {
  StartupWidget window(ScreenLayout::Width800);
  StartupControls controls;
  controls.Visible = true;
  controls.CmdContinueVisible = true;
  window.Render(controls);
  QSignalSpy continued(&window, &StartupWidget::continueClicked);
  QSignalSpy ended(&window, &StartupWidget::endClicked);
  QTest::mouseClick(child<QPushButton>(window, "CmdContinue"), Qt::LeftButton);
  QTest::mouseClick(child<QPushButton>(window, "cmdEnd"), Qt::LeftButton);
  EXPECT_EQ(continued.count(), 1);
  EXPECT_EQ(ended.count(), 1);

  EXPECT_FALSE(window.close());
  EXPECT_TRUE(window.isVisible());
  window.Close();
  EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace tarvex
