#include "publish/value_publisher.h"

#include <exception>

#include "core/parse_leading_number.h"
#include "platform/run_time_error.h"

namespace tarvex {

void ValuePublisher::SetVal(int32_t which, int32_t ch) {
  switch (which) {
    case ValueCode::Gross:
    case ValueCode::Tare:
    case ValueCode::Net: PublishWeight(which, ch); break;
    case ValueCode::ScaleStat:
    case ValueCode::Description: handshake_.UpdateActiveX(which, ch); break;
    case ValueCode::IDField: {
      const std::string& latest = publication_.NewID[ch];
      std::string& published = publication_.PubID[ch];
      if (latest != published) published = latest;
      break;
    }
    default: break;
  }
}

void ValuePublisher::PublishWeight(int32_t which, int32_t ch) {
  // Gross, tare and net share the steps; only the texts, the grid column and
  // the item position (OPC item, DDE item, detail label) differ.
  struct Value {
    ChannelArray<std::string> PublicationState::*latest;
    ChannelArray<std::string> PublicationState::*published;
    int column;
  };
  static constexpr Value values[] = {
      {&PublicationState::NewGross, &PublicationState::PubGross, GridColumn::Gross},
      {&PublicationState::NewTare, &PublicationState::PubTare, GridColumn::Tare},
      {&PublicationState::NewNet, &PublicationState::PubNet, GridColumn::Net},
  };
  const int16_t item = static_cast<int16_t>(which - ValueCode::Gross);
  const Value& value = values[item];

  const std::string& latest = (publication_.*value.latest)[ch];
  std::string& published = (publication_.*value.published)[ch];
  if (latest == published) return;
  published = latest;
  grid_.SetCellDirty(ch, value.column);

  std::exception_ptr firstFailure;
  const ChannelSetup& setup = config_.Channels[ch];
  if (setup.OPCEnabled) {
    try {
      opc_.SetItemValue(ch, item, ParseLeadingNumber(latest));
      publication_.OPCDirty[ch] = true;
    } catch (const RunTimeError&) {
      firstFailure = std::current_exception();
    }
  }
  if (setup.DDEServerEnabled) {
    publication_.DDEValues(item, ch) = ParseLeadingNumber(latest);
    publication_.DDEDirty[ch] = true;
  }
  if (window_.DetailOpen[ch]) {
    try {
      detail_.SetCaption(item, latest);
    } catch (const RunTimeError&) {
      if (!firstFailure) firstFailure = std::current_exception();
    }
  }
  handshake_.UpdateActiveX(which, ch);
  if (firstFailure) std::rethrow_exception(firstFailure);
}

}  // namespace tarvex
