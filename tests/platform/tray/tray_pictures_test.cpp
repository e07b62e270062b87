// The tray icon's pictures switch with every frame received and sent: each
// picture is drawn once and the same icon is handed out at every switch after,
// so 32 busy channels cost no drawing; the three pictures differ.
#include <gtest/gtest.h>

#include "platform/tray/qt_notification_area.h"
#include "tests/support/widget_application.h"

namespace tarvex::test {
namespace {

TEST(TrayPicturesTest, eachPictureIsDrawnOnceAndHandedOutAtEverySwitch) {
  EnsureWidgetApplication();
  const TrayPicture pictures[] = {TrayPicture::Idle, TrayPicture::Receive, TrayPicture::Transmit};
  std::vector<qint64> first;
  for (const TrayPicture picture : pictures) first.push_back(TrayPictureIcon(picture).cacheKey());
  for (int round = 0; round < 3; ++round) {
    for (size_t i = 0; i < std::size(pictures); ++i) {
      const QIcon icon = TrayPictureIcon(pictures[i]);
      EXPECT_EQ(icon.cacheKey(), first[i]) << TrayPictureName(pictures[i]) << " drawn again";
      EXPECT_EQ(icon.availableSizes().size(), 4) << TrayPictureName(pictures[i]);
    }
  }
  EXPECT_NE(first[0], first[1]);
  EXPECT_NE(first[1], first[2]);
  EXPECT_NE(TrayPictureIcon(TrayPicture::Idle).pixmap(16).toImage(),
            TrayPictureIcon(TrayPicture::Receive).pixmap(16).toImage());
}

}  // namespace
}  // namespace tarvex::test
