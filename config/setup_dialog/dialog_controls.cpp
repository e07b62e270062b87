#include "config/setup_dialog/dialog_controls.h"

#include <algorithm>

namespace tarvex {

void Control::Move(int left, int top, int width, int height) {
  if (left_ == left && top_ == top && width_ == width && height_ == height) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Changed();
}

void ListBox::AddItem(std::string item) {
  items_.push_back(std::move(item));
  Changed();
}

const std::string& ListBox::List(int index) const {
  CheckSubscript(index, 0, ListCount() - 1, Name().c_str());
  return items_[static_cast<size_t>(index)];
}

void ListBox::SetListIndex(long long index) {
  if (index < -1 || index >= ListCount()) {
    throw RunTimeError(ErrorNumber::InvalidPropertyValue,
                       "Invalid property value: " + Name() + " has no entry " + std::to_string(index));
  }
  if (index == listIndex_) return;
  listIndex_ = static_cast<int>(index);
  Changed();
  if (onClick_) onClick_();
}

std::string ListBox::Text() const { return listIndex_ < 0 ? std::string() : items_[static_cast<size_t>(listIndex_)]; }

void CheckBox::SetValue(int value) {
  if (value < 0 || value > 2) {
    throw RunTimeError(ErrorNumber::InvalidPropertyValue,
                       "Invalid property value: " + Name() + " cannot hold " + std::to_string(value));
  }
  if (value == value_) return;
  value_ = value;
  Changed();
  if (onClick_) onClick_();
}

bool NumericKeyAllowed(int keyCode) {
  switch (keyCode) {
    case 8:   // Backspace
    case 9:   // Tab
    case 13:  // Enter
    case 27:  // Esc
    case 35:  // End
    case 36:  // Home
    case 37:  // Left
    case 38:  // Up
    case 39:  // Right
    case 40:  // Down
    case 46:  // Delete
      return true;
    default:
      return keyCode >= 48 && keyCode <= 57;
  }
}

bool FileTextAccepts(const std::string& text) {
  return std::none_of(text.begin(), text.end(), [](char c) { return c == '"' || c == '\r' || c == '\n'; });
}

}  // namespace tarvex
