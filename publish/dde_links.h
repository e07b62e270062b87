#pragma once
// UpdateDDELinks: the refresh of a channel's DDE topic from its entries of the
// DDE value table.
//
// Items are texts. A double is shown in the general number form of up to 15
// significant digits without leading or trailing zeros and without group
// separators, with the decimal separator of the regional settings (12.5
// becomes "12,5" under a comma locale although the weight text had a point);
// numbers that need an exponent are written like 1E+20.
#include <cstdint>
#include <string>

#include <QLocale>

#include "publish/dde_topics.h"
#include "publish/publication_state.h"

namespace tarvex {

// The item text of one table entry: "" when empty, the decimal digits of a
// 16-bit integer, the general form of a double.
std::string DDEValueText(const DDEValue& value, const QLocale& locale);

class DdeLinks {
public:
  DdeLinks(const PublicationState& publication, DdeTopics& topics, QLocale locale = QLocale::system())
      : publication_(publication), topics_(topics), locale_(std::move(locale)) {}

  // Sets all seven items of channel ch's topic in one step; a channel outside
  // 0 to 31 does nothing.
  void UpdateDDELinks(int32_t ch);

private:
  const PublicationState& publication_;
  DdeTopics& topics_;
  QLocale locale_;
};

}  // namespace tarvex
