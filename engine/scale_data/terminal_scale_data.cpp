#include "engine/scale_data/terminal_scale_data.h"

#include "engine/lamps.h"
#include "engine/terminal/terminal_fields.h"

namespace tarvex {

void TerminalScaleData::ReadTerminalGross(int32_t ch) {
  const TerminalFieldText field = ReadTerminalField(s_.net, s_.engine.ArcPathWt101[ch], kWeightFieldWidth);
  s_.engine.ZelApiResult = field.result;
  switch (JudgeTerminalRead(s_, ch, s_.engine.ArcPathWt101[ch], field.result)) {
    case TerminalRead::Served: break;
    case TerminalRead::NotServed: return;
    case TerminalRead::OutOfService: SwitchLamp(s_.grid, ch, Lamp::Enabled, false); return;
  }
  if (!s_.grid.IndicatorOn(ch, Lamp::Receive) &&
      PassesSince(s_.engine.ScanTick, s_.engine.LastIndicatorTick[ch][0]) >= 1) {
    SwitchLamp(s_.grid, ch, Lamp::Receive, true);
    s_.grid.DrawCell(ch, Lamp::Receive);
    s_.engine.LastIndicatorTick[ch][0] = s_.engine.ScanTick;
  }
  s_.publication.NewGross[ch] = TrimBlanks(field.text);
  s_.publisher.SetVal(ValueCode::Gross, ch);
  s_.window.DeviceDirty[ch] = true;
}

}  // namespace tarvex
