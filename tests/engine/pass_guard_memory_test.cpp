// A pass whose error report meets memory running out: the error in flight
// cannot even be copied. The pass must still end with its guard cleared, so
// the scan runs on, and the handler still hears of the error.
#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <string>
#include <vector>

#include "tests/support/engine_fixture.h"
#include "tests/support/failing_allocations.h"

namespace tarvex {
namespace {

using test::AllocationsFail;

// Takes memory back before it records anything.
class RecoveringErrors final : public ScanErrorHandler {
public:
  void HandleScanError(int32_t ch, const RunTimeError& error) noexcept override {
    AllocationsFail = false;
    heard.push_back({ch, error.number(), error.description()});
  }
  struct Heard {
    int32_t ch;
    int number;
    std::string description;
  };
  std::vector<Heard> heard;
};

TEST(PassGuard, AnErrorThatMeetsMemoryRunningOutStillEndsThePassAndReachesTheHandler) {
  struct Row {
    const char* legend;
    std::function<void()> fail;  // what the data step of channel 1 does
  };
  const std::vector<Row> rows = {
      // Its description is too long to be kept without the heap.
      {"a run-time error thrown as memory runs out",
       [] {
         RunTimeError error(ErrorNumber::DeviceIOError, std::string(200, 'x'));
         AllocationsFail = true;
         throw error;
       }},
      {"memory that ran out and is still out",
       [] {
         AllocationsFail = true;
         throw std::bad_alloc();
       }},
      {"memory that ran out once and is back", [] { throw std::bad_alloc(); }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.legend);
    EngineFixture f;
    f.engine.DevicesInitialized = true;
    f.startup.MaxChannel = 1;
    for (int32_t ch : {0, 1}) {
      f.config.Channels[ch].ChannelProtocol = 5;
      f.config.Channels[ch].ConnectUsing = ConnectionType::PcSerialPort;
      f.engine.ChannelActive[ch] = true;
    }
    f.steps.during["serial data"] = [&row](int32_t ch) {
      if (ch == 1) row.fail();
    };
    RecoveringErrors errors;
    ScanSurroundings services = f.Services(f.log);
    ScanSurroundings withRecovering{services.engine,  services.config,    services.startup, services.setup,
                                services.publication, services.window, services.grid,  services.publisher,
                                services.dde,     services.handshake, services.icons,  services.cfg,
                                services.log,     services.speech,    services.MSComm, services.net,
                                services.opc,     services.clock,     services.pacing, services.mainWindow,
                                services.steps,   errors};
    ScanPass pass(withRecovering);

    bool escaped = false;
    try {
      pass.Timer1_Timer();
    } catch (...) {
      escaped = true;
    }
    AllocationsFail = false;

    EXPECT_FALSE(escaped);
    EXPECT_FALSE(f.engine.ScanInProgress);
    ASSERT_EQ(errors.heard.size(), 1u);
    EXPECT_EQ(errors.heard[0].ch, 1);
    EXPECT_EQ(errors.heard[0].number, 7);
    EXPECT_EQ(errors.heard[0].description, "Out of memory");

    // The scan runs on: the next pass serves both channels.
    f.steps.during.clear();
    f.trace.clear();
    pass.Timer1_Timer();
    EXPECT_EQ(f.Only({"serial data"}), (Trace{"serial data 0", "serial data 1"}));
  }
}

}  // namespace
}  // namespace tarvex
