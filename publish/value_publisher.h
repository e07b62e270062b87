#pragma once
// SetVal: the one way the scan pass publishes a value of a channel.
//
// The scan pass may call it on every pass with the same texts; a weight text
// is published only when it differs from the text last published, and then
// fanned out in a fixed order: the grid cell, the OPC item, the DDE value
// table, the detail window's label and the channel's Device. A failing OPC
// item or detail label does not keep the value from the later steps: they all
// run, and the first failure is raised afterwards.
#include <cstdint>

#include "config/config_state.h"
#include "platform/opc/opc_items.h"
#include "publish/detail_labels.h"
#include "publish/device_handshake.h"
#include "publish/grid_cells.h"
#include "publish/main_window_values.h"
#include "publish/publication_state.h"

namespace tarvex {

class ValuePublisher {
public:
  ValuePublisher(PublicationState& publication, const MainWindowValues& window, const ConfigState& config,
                 GridCells& grid, OpcItems& opc, DetailLabels& detail, DeviceHandshake& handshake)
      : publication_(publication),
        window_(window),
        config_(config),
        grid_(grid),
        opc_(opc),
        detail_(detail),
        handshake_(handshake) {}

  // which: 1 gross, 2 tare, 3 net (change test and fan-out), 6 scale status and
  // 10 description (the Device only), 9 ID (PubID follows NewID); any other
  // code does nothing. A channel outside 0 to 32 raises error 9 before
  // anything changes (for codes 1, 2, 3, 6, 9 and 10).
  void SetVal(int32_t which, int32_t ch);

private:
  void PublishWeight(int32_t which, int32_t ch);

  PublicationState& publication_;
  const MainWindowValues& window_;
  const ConfigState& config_;
  GridCells& grid_;
  OpcItems& opc_;
  DetailLabels& detail_;
  DeviceHandshake& handshake_;
};

}  // namespace tarvex
