// The detail window's RAW label shows a frame's control characters by name,
// so the terminator does not break the line and STX is no empty box.
#include <gtest/gtest.h>

#include <QLabel>

#include "tests/support/operator_window_rig.h"
#include "tests/support/widget_application.h"
#include "ui/detail/widget/detail_widget.h"

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

}  // namespace
}  // namespace tarvex::test
