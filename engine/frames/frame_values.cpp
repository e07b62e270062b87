#include "engine/frames/frame_values.h"

#include <algorithm>

#include "core/parse_leading_number.h"
#include "engine/frames/number_text.h"
#include "platform/serial/parity_marks.h"

namespace tarvex {

FrameValues ReadFrameValues(std::string_view frame, const CheckedProtocol& protocol, ChannelFormat& format,
                            std::string_view configuredPattern, std::string_view primaryUnits) {
  return ReadFrameValues(frame, ParseStatusData(frame, protocol.Status), protocol, format, configuredPattern,
                         primaryUnits);
}

bool IsReading(std::string_view frame, const StatusReading& status, const CheckedProtocol& protocol,
               bool parityMarked) {
  const auto clean = [&](std::string_view field) {
    const bool hasDigit = std::any_of(field.begin(), field.end(), [](char b) { return b >= '0' && b <= '9'; });
    for (size_t k = 0; k < field.size(); ++k) {
      const auto b = static_cast<unsigned char>(field[k]);
      if (b > 0x7E) return false;
      if (b == static_cast<unsigned char>(ParityMarks::ParityReplace) && (parityMarked || hasDigit)) return false;
      if (b < 0x20) {
        const bool first = field.data() + k == frame.data();
        const bool ownStart = protocol.StreamStartChar && b == *protocol.StreamStartChar && first;
        const bool lineEndHalf = first && (b == '\r' || b == '\n');
        if (!ownStart && !lineEndHalf) return false;
      }
    }
    return true;
  };
  const auto weight = [&](const FrameField& field) {
    if (!field.enabled) return true;
    const auto raw = field.In(frame);
    return raw && clean(*raw);
  };
  if (status.ErrorText.empty()) {
    if (status.WeightMode == "NET") {
      if (!weight(protocol.Tare) || !weight(protocol.Net)) return false;
    } else if (!weight(protocol.Gross)) {
      return false;
    }
  }
  const auto id = protocol.ID.In(frame);
  return !id || clean(*id);
}

FrameValues ReadFrameValues(std::string_view frame, const StatusReading& status, const CheckedProtocol& protocol,
                            ChannelFormat& format, std::string_view configuredPattern,
                            std::string_view primaryUnits) {
  FrameValues out;
  out.status = status;
  if (status.WeightDecimals) {
    format.WeightDecimals = *status.WeightDecimals;
    format.DecimalsFromStatus = true;
    format.FormatKnown = true;
  }
  if (!status.UnitsText.empty()) out.unitsLamp = status.UnitsText == primaryUnits;
  out.motionLamp = status.InMotion;
  const bool net = status.WeightMode == "NET";

  auto store = [&](int16_t code, std::string text) {
    out.values[static_cast<size_t>(out.valueCount++)] = FrameValue{code, std::move(text)};
  };
  // The field formatted, or fallback when the protocol has it off or the frame
  // is too short.
  auto weight = [&](const FrameField& field, std::string_view sign, const char* fallback) {
    const auto raw = field.In(frame);
    if (!raw) return std::string(fallback);
    std::string value(*raw);
    FormatValue(format, configuredPattern, value, format.WeightDecimals, sign);
    return value;
  };

  if (!status.ErrorText.empty()) {
    out.errorLamp = true;
    out.statusText = status.ErrorText;
    store(ValueCode::Net, "0");
    store(ValueCode::Gross, "0");
    if (!net) store(ValueCode::Tare, "0");
    out.netLamp = net;
  } else {
    out.statusText = "Online...";
    out.netLamp = net;
    if (net) {
      std::string tare = weight(protocol.Tare, "", "");
      std::string netText = weight(protocol.Net, status.WeightSign, "0");
      std::string gross;
      if (protocol.Gross.enabled) {
        // Blanks do not count in a numeric value, so the texts need no trimming.
        const double sum = ParseLeadingNumber(tare) + ParseLeadingNumber(netText);
        gross = FormatNumber(sum, format.DecimalsFromStatus ? format.DecimalPattern : format.FormatPattern);
      }
      store(ValueCode::Tare, std::move(tare));
      store(ValueCode::Net, std::move(netText));
      store(ValueCode::Gross, std::move(gross));
    } else {
      store(ValueCode::Gross, weight(protocol.Gross, status.WeightSign, "0"));
      store(ValueCode::Tare, "0");
      store(ValueCode::Net, "0");
    }
  }

  std::string id;
  if (const auto raw = protocol.ID.In(frame)) {
    const double number = ParseLeadingNumber(*raw);
    id = (number < 0 ? "" : " ") + NumberText(number);
  }
  store(ValueCode::IDField, std::move(id));
  return out;
}

std::string WeightLogLine(int ch, std::string_view gross, std::string_view tare, std::string_view net,
                          std::string_view id, std::string_view dateTime) {
  std::string line = "Device #: " + std::to_string(ch);
  for (std::string_view part : {gross, tare, net, id, dateTime}) {
    line += ", ";
    line += part;
  }
  line += "\r\n";
  return line;
}

}  // namespace tarvex
