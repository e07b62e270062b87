#pragma once
// The wall clock and the general date-time text of log records.
#include <QDateTime>
#include <QLocale>
#include <string>

namespace tarvex {

class Clock {
public:
  virtual ~Clock() = default;
  virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock {
public:
  QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// A clock that stands still until it is set, for tests.
class FixedClock final : public Clock {
public:
  explicit FixedClock(QDateTime at) : at_(std::move(at)) {}
  QDateTime now() const override { return at_; }
  void set(QDateTime at) { at_ = std::move(at); }

private:
  QDateTime at_;
};

// The short date, a blank and the long time of the locale; at exactly midnight
// the date alone. Under the C/POSIX locale the United States form
// "M/d/yyyy h:mm:ss AM" is used. The time carries no time-zone name.
std::string GeneralDateTimeText(const QDateTime& at, const QLocale& locale = QLocale::system());

}  // namespace tarvex
