// The detail window on the screen: labels that show outside text literally,
// the captions beside their values, the frame's close running Close. With
// TARVEX_SCREENSHOTS set to a folder, the window is saved there as a picture.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "tests/support/operator_window_rig.h"
#include "tests/support/widget_application.h"
#include "ui/detail/widget/detail_widget.h"

namespace tarvex::test {
namespace {

class DetailWidgetTest : public ::testing::Test, private WidgetApplication {
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

}  // namespace
}  // namespace tarvex::test
