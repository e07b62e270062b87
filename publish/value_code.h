#pragma once
// The selector of SetVal and UpdateActiveX.
#include <cstdint>

namespace tarvex::ValueCode {

constexpr int32_t Gross = 1;
constexpr int32_t Tare = 2;
constexpr int32_t Net = 3;
constexpr int32_t ScaleStat = 6;
constexpr int32_t IDField = 9;
constexpr int32_t Description = 10;

}  // namespace tarvex::ValueCode
