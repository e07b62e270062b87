#pragma once
// What one cut frame publishes: the status, the lamps, the status text and the
// gross, tare, net and ID texts in the order they are to be stored, decided
// without touching the channel's publication, so the scan pass only applies
// it.
//
// What it must cope with: fields at fixed positions that a short frame does
// not hold, error frames, NET mode with or without a gross field and with or
// without decimals reported by the status, weights with their own sign.
//
// Policy, by the frame's status:
//   - error (ErrorText not empty): net "0", gross "0", tare "0" unless the mode
//     is NET (then tare is not stored at all); the status text is the error.
//   - NET: tare (formatted, no sign) or empty, net (formatted with the sign)
//     or "0", then gross: empty when the protocol has no gross field, else
//     tare + net in the channel's pattern (the reported decimals' pattern once
//     the scale reports them, the chosen pattern before), so a NET frame never
//     leaves a stale gross in place.
//   - any other mode: gross (formatted with the sign) or "0", tare "0", net
//     "0".
// The ID is read in every frame: its numeric value with one leading blank, or
// "-" when negative; empty when the protocol has no ID field or the frame
// does not hold it.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/frames/checked_protocol.h"
#include "engine/frames/status_table.h"
#include "engine/frames/weight_format.h"
#include "publish/value_code.h"

namespace tarvex {


struct FrameValue {
  int16_t code = 0;   // ValueCode: Gross, Tare, Net or IDField
  std::string text;   // the New... text to store before SetVal(code)

  bool operator==(const FrameValue&) const = default;
};

struct FrameValues {
  StatusReading status;            // ScaleStatBits and the other per-frame results
  bool errorLamp = false;          // column 7
  bool netLamp = false;            // column 3
  bool motionLamp = false;         // column 2
  std::optional<bool> unitsLamp;   // column 4; nothing when the frame names no units
  std::string_view statusText;     // ErrorText, or "Online..."
  std::array<FrameValue, 4> values{};  // in the order of their SetVal calls
  int valueCount = 0;

  std::string_view Value(int16_t code) const {
    for (int i = 0; i < valueCount; ++i) {
      if (values[static_cast<size_t>(i)].code == code) return values[static_cast<size_t>(i)].text;
    }
    return {};
  }
};

// The texts of status and statusText view constants or the protocol's
// checked status table, never frame: a FrameValues is used before the
// protocol is checked again or destroyed, and its texts are copied to keep.
//
// frame: as FrameCutter::CutNewest gives it. format is the channel's
// formatting state; it takes the decimals the status reports and the pattern
// FormatValue chooses. configuredPattern: see FormatValue. primaryUnits: the
// channel's PrimaryUnitsText.
FrameValues ReadFrameValues(std::string_view frame, const CheckedProtocol& protocol, ChannelFormat& format,
                            std::string_view configuredPattern, std::string_view primaryUnits);
// The same with the frame's status already read by ParseStatusData.
FrameValues ReadFrameValues(std::string_view frame, const StatusReading& status, const CheckedProtocol& protocol,
                            ChannelFormat& format, std::string_view configuredPattern,
                            std::string_view primaryUnits);

// Whether a cut frame is a reading, to be published at all.
//
// What it must cope with: a line that brings bit errors, noise or pieces of
// frames. A frame with one flipped bit still parses: "162.87" becomes "1.0",
// "127.7" becomes "12.77", and random bytes between two terminators publish 0
// as a good weight.
//
// Policy: the fields the frame is read for (by its status: gross, or tare
// and net in NET mode, no weight in an error frame; the ID when the frame
// holds it) must be there and clean. A frame is not a reading when
//   - a weight field it is read for is enabled but lies beyond its end (a
//     piece of a frame);
//   - such a field, or the ID, holds a control character other than the
//     frame's own start character, or a byte above 0x7E;
//   - such a field holds ParityMarks::ParityReplace ("?") where it can only
//     be damage: on a port that checks parity (parityMarked), where it marks
//     a byte received with a parity or framing error, or beside a digit,
//     where a bit error made it of one ("7" and "?" differ in one bit). A
//     field of text without digits on a line that checks no parity ("??????"
//     for an overload) is the scale's own text.
// A CR or LF as the frame's first byte is the second half of a two-byte line
// end whose first half was the terminator, not damage. A field that is clean
// but holds no digit (a scale's overload text) is a reading: its value is 0.
bool IsReading(std::string_view frame, const StatusReading& status, const CheckedProtocol& protocol,
               bool parityMarked);

// The weight log line of a frame: "Device #: <ch>, <gross>, <tare>, <net>,
// <id>, <date and time>" and CR LF; the texts exactly as published.
// dateTime: GeneralDateTimeText (platform/clock.h) of the moment.
std::string WeightLogLine(int ch, std::string_view gross, std::string_view tare, std::string_view net,
                          std::string_view id, std::string_view dateTime);

}  // namespace tarvex
