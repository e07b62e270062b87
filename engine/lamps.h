#pragma once
// The lamps of a channel's grid row (IndicatorOn columns, GridColumn numbers).
namespace tarvex::Lamp {

constexpr int Receive = 0;
constexpr int Transmit = 1;
constexpr int Motion = 2;
constexpr int NetMode = 3;
constexpr int Units = 4;
constexpr int Enabled = 5;
constexpr int DatabaseRequest = 6;
constexpr int Error = 7;

}  // namespace tarvex::Lamp
