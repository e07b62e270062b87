#pragma once
// Test support: the OPC item store with a log of every value it accepted, in
// the order set, for tests that state what reached the items.
#include <vector>

#include "platform/opc/opc_item_store.h"

namespace tarvex::test {

class WriteLoggingOpcItemStore final : public OpcItemStore {
public:
  struct Write {
    int32_t ch;
    int16_t position;
    double value;
    bool operator==(const Write&) const = default;
  };

  void SetItemValue(int32_t ch, int16_t position, double value) override {
    const bool held = ItemTag(ch, position).has_value();
    OpcItemStore::SetItemValue(ch, position, value);
    if (held) writes_.push_back(Write{ch, position, value});
  }
  const std::vector<Write>& Writes() const { return writes_; }

private:
  std::vector<Write> writes_;
};

}  // namespace tarvex::test
