#pragma once
// A call on a channel's serial port inside the scan pass. A port that is not
// open (error 8012) is an expected state here, not a fault: the channel's
// error lamp goes off and the caller goes on with its next statement, with
// nothing logged, shown or spoken. Every other error reaches the caller.
#include <cstdint>

#include "engine/lamps.h"
#include "platform/run_time_error.h"
#include "publish/grid_cells.h"

namespace tarvex {

// Runs call(); returns False when the port was not open.
template <typename Call>
bool AtPort(GridCells& grid, int32_t ch, Call&& call) {
  try {
    call();
    return true;
  } catch (const RunTimeError& error) {
    if (error.number() != ErrorNumber::PortNotOpen) throw;
    SwitchLamp(grid, ch, Lamp::Error, false);
    return false;
  }
}

}  // namespace tarvex
