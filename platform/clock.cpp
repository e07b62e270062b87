#include "clock.h"

#include "ansi_text.h"

namespace tarvex {

namespace {

// Qt's long time formats end in the zone ("t", "tt", ...); the log has none.
QString LongTimeFormatWithoutZone(const QLocale& locale) {
  QString format = locale.timeFormat(QLocale::LongFormat);
  format.remove(QLatin1Char('t'));
  return format.simplified();
}

}  // namespace

std::string GeneralDateTimeText(const QDateTime& at, const QLocale& locale) {
  const bool posix = locale.language() == QLocale::C;
  const QLocale formatting = posix ? QLocale(QLocale::English, QLocale::UnitedStates) : locale;
  const QString dateFormat = posix ? QStringLiteral("M/d/yyyy") : formatting.dateFormat(QLocale::ShortFormat);
  const QString timeFormat = posix ? QStringLiteral("h:mm:ss AP") : LongTimeFormatWithoutZone(formatting);

  QString text = formatting.toString(at.date(), dateFormat);
  if (at.time() != QTime(0, 0)) {
    text += QLatin1Char(' ') + formatting.toString(at.time(), timeFormat);
  }
  return ToAnsi(text);
}

}  // namespace tarvex
