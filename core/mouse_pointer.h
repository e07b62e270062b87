#pragma once
// The mouse pointers a window shows: the normal one, and the hourglass while a
// long operation runs.
namespace tarvex {

namespace MousePointer {
constexpr int Default = 0;
constexpr int Hourglass = 11;
}  // namespace MousePointer

}  // namespace tarvex
