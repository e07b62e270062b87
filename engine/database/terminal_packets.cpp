#include "engine/database/terminal_packets.h"

#include <algorithm>
#include <cstdio>

#include "platform/clock.h"
#include "platform/run_time_error.h"

namespace tarvex {

namespace {
constexpr size_t kRowWidth = 75;
constexpr size_t kDashes = 25;
}  // namespace

std::string FieldText(std::string_view text, size_t width) {
  std::string field(text.substr(0, width));
  field.resize(width, ' ');
  return field;
}

std::string PacketField(const ResultRowTable& rows, int32_t firstRow, int k) {
  std::string field;
  field.reserve(kPacketFieldWidth);
  for (int32_t i = 0; i < kRowsPerField; ++i) {
    const int64_t row = int64_t{firstRow} + int64_t{kRowsPerField} * (k - 1) + i;
    const bool inTable = row >= 0 && row < static_cast<int64_t>(rows.size());
    field += FieldText(inTable ? std::string_view(rows[static_cast<size_t>(row)]) : std::string_view(), kRowWidth);
  }
  field.append(kDashes, '-');
  return field;
}

std::string PacketHeader(int32_t recordCount, int32_t rowCount) {
  char text[48];
  std::snprintf(text, sizeof text, "****:%05d:%03d", recordCount, rowCount);
  return text;
}

std::string BatchCode(const QDateTime& at) {
  char text[16];
  std::snprintf(text, sizeof text, "%d%03d%02d", at.date().year() % 10, at.date().dayOfYear(), at.time().hour());
  return text;
}

std::string DateAddReply(const QDateTime& at, int32_t days) {
  // Dates end with the year 9999, as they always did for the terminals.
  constexpr int32_t kDaysToYear9999 = 3'000'000;
  const QDateTime then = days <= kDaysToYear9999 ? at.addDays(days) : QDateTime();
  if (!then.isValid() || then.date().year() > 9999) throw RunTimeError(ErrorNumber::Overflow);
  return "PADD:" + GeneralDateTimeText(then) + then.date().toString(QStringLiteral("MM/dd/yy")).toStdString();
}

std::string LinkTestPattern() {
  std::string pattern = "!";
  for (int i = 0; i < 7; ++i) pattern += "1234567890";
  pattern += "1234567";
  return pattern;
}

int32_t LeadingCount(std::string_view text) {
  int64_t value = 0;
  text.remove_prefix(std::min(text.size(), text.find_first_not_of(' ')));
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
    if (value > INT32_MAX) return INT32_MAX;
  }
  return static_cast<int32_t>(value);
}

}  // namespace tarvex
