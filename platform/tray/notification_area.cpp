#include "platform/tray/notification_area.h"

namespace tarvex {

const char* TrayPictureName(TrayPicture picture) {
  switch (picture) {
    case TrayPicture::Receive:
      return "Rcv";
    case TrayPicture::Transmit:
      return "Xmit";
    case TrayPicture::Idle:
      break;
  }
  return "Idle";
}

}  // namespace tarvex
