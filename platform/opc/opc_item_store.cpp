#include "platform/opc/opc_item_store.h"

#include "platform/run_time_error.h"

namespace tarvex {

namespace {

constexpr int LastChannel = OpcChannels - 1;

bool Blank(const std::string& tag) { return tag.find_first_not_of(' ') == std::string::npos; }

}  // namespace

void OpcItemStore::AddItem(int32_t ch, int position, const std::string& tag) {
  CheckSubscript(ch, 0, LastChannel, "OPC channel");
  CheckSubscript(position, 0, OpcItemPositions - 1, "OPC item position");
  auto& slot = channels_[static_cast<size_t>(ch)][static_cast<size_t>(position)];
  if (Blank(tag)) {
    slot.reset();
  } else {
    slot = Item{tag, std::nullopt};
  }
}

void OpcItemStore::RemoveItems(int32_t ch) {
  CheckSubscript(ch, 0, LastChannel, "OPC channel");
  channels_[static_cast<size_t>(ch)] = Channel{};
}

void OpcItemStore::SetItemValue(int32_t ch, int16_t position, double value) {
  CheckSubscript(ch, 0, LastChannel, "OPC channel");
  if (position < 0 || position >= OpcItemPositions) return;
  auto& slot = channels_[static_cast<size_t>(ch)][static_cast<size_t>(position)];
  if (!slot) return;
  slot->value = value;
}

const std::optional<OpcItemStore::Item>* OpcItemStore::Find(int32_t ch, int position) const {
  CheckSubscript(ch, 0, LastChannel, "OPC channel");
  if (position < 0 || position >= OpcItemPositions) return nullptr;
  return &channels_[static_cast<size_t>(ch)][static_cast<size_t>(position)];
}

std::optional<std::string> OpcItemStore::ItemTag(int32_t ch, int position) const {
  const auto* slot = Find(ch, position);
  if (!slot || !*slot) return std::nullopt;
  return (*slot)->tag;
}

std::optional<double> OpcItemStore::ItemValue(int32_t ch, int position) const {
  const auto* slot = Find(ch, position);
  if (!slot || !*slot) return std::nullopt;
  return (*slot)->value;
}

}  // namespace tarvex
