#pragma once
// The program's application object with its last-resort report going to a
// recorded box and an error log in a private folder at a fixed time.
#include <gtest/gtest.h>

#include "platform/qt_message_box.h"
#include "tests/support/report_rig.h"

namespace tarvex::test {

class ReportFixture : public testing::Test, protected hardening::ReportRig {
protected:
  RecordingMessageBox boxes;
};

}  // namespace tarvex::test
