#pragma once
// The scan pass's step for a database request channel on a serial line: the
// device sends request lines, the step runs each against the database and
// queues the reply for the paced transmitter.
//
// What it must cope with: a device may send several lines in one read, or
// bytes without a line feed for ever; a reply may still be leaving when the
// next one is ready; a request that changes data must run once, whatever
// becomes of its reply; the database may refuse anything.
//
// Policy: the port is read whenever it holds input; the receive buffer is
// capped (engine/database/serial_db_request.h) and an overflow is written to the error
// log once per discard. One complete buffered line is served per pass, with or
// without new input, so a second line of one read is answered at the next
// pass, except while a client command waits for the line
// (CommandWaitsForLine): requests then wait in RxBuffer until it has gone.
// A reply joins the end of the channel's TxBuffer behind whatever is
// still waiting; one that does not fit the queue's bound is dropped, with one
// error-log line per episode. A database failure leaves the step as RunTimeError (2400 or
// 3000 class) for the scan's error handling; the line is already consumed and
// is not run again. A port that is not open (8012) is no error here: its lamp
// goes off and the step serves what the buffer holds.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/engine_steps.h"
#include "engine/scan_surroundings.h"
#include "platform/clock.h"
#include "platform/database/database.h"
#include "publish/activity_icons.h"
#include "publish/channel_indicators.h"

namespace tarvex {

class SerialDBRequestStep final : public ChannelStep {
public:
  // clock gives the reply's date and time lines.
  SerialDBRequestStep(ScanSurroundings services, DatabaseWorkspace& workspace, const Clock& clock)
      : s_(services),
        workspace_(workspace),
        clock_(clock),
        indicators_(s_.publication, s_.engine, s_.window, s_.startup, s_.grid, s_.icons) {}

  // ServeSerialDBRequest(ch).
  void Serve(int32_t ch) override;

private:
  void Receive(int32_t ch);
  void SendReply(int32_t ch, const std::string& reply);
  void SwitchIcon(ActivityImage image);
  void ChannelLog(int32_t ch, int kind, std::string_view text);

  ScanSurroundings s_;
  DatabaseWorkspace& workspace_;
  const Clock& clock_;
  ChannelIndicators indicators_;
};

}  // namespace tarvex
