#pragma once
// The setup dialog's controls as plain objects, so that its logic runs and is
// tested without widgets.
//
// The dialog's logic depends on one rule of the platform it was written for:
// setting a list's selection or a check box's value runs that control's click
// logic at once, nested inside the statement that set it, whether the user or
// the code made the change. ListBox::SetListIndex and CheckBox::SetValue keep
// that rule: they store the value, let the widgets follow, then run the click
// handler before they return. Setting the value a control already holds runs
// nothing, as on the original. Values outside a control's range raise error
// 380 instead of being clipped.
//
// Positions and sizes are twips (1/1440 inch), colours &HBBGGRR numbers, the
// mouse pointer the platform's pointer numbers (0 default, 11 hourglass).
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/mouse_pointer.h"
#include "platform/run_time_error.h"

namespace tarvex {

using OleColour = uint32_t;

namespace DialogColour {
constexpr OleColour White = 0xFFFFFF;      // an enabled box
constexpr OleColour LightGrey = 0xE0E0E0;  // a disabled box, the dialog's own background
constexpr OleColour DarkRed = 0x000080;
constexpr OleColour DarkBlue = 0xC00000;
constexpr OleColour Grey = 0x808080;
constexpr OleColour Black = 0x000000;
}  // namespace DialogColour

// What every control has. Watchers are the widgets that show the control; they
// are told after each change of any property.
class Control {
public:
  explicit Control(std::string name) : name_(std::move(name)) {}
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  const std::string& Name() const noexcept { return name_; }

  bool Enabled() const noexcept { return enabled_; }
  void SetEnabled(bool enabled) { Assign(enabled_, enabled); }
  bool Visible() const noexcept { return visible_; }
  void SetVisible(bool visible) { Assign(visible_, visible); }

  const std::string& Caption() const noexcept { return caption_; }
  void SetCaption(std::string caption) { Assign(caption_, std::move(caption)); }
  const std::string& ToolTip() const noexcept { return toolTip_; }
  void SetToolTip(std::string toolTip) { Assign(toolTip_, std::move(toolTip)); }

  OleColour BackColor() const noexcept { return backColor_; }
  void SetBackColor(OleColour colour) { Assign(backColor_, colour); }
  OleColour ForeColor() const noexcept { return foreColor_; }
  void SetForeColor(OleColour colour) { Assign(foreColor_, colour); }

  int Left() const noexcept { return left_; }
  int Top() const noexcept { return top_; }
  int Width() const noexcept { return width_; }
  int Height() const noexcept { return height_; }
  void SetLeft(int left) { Assign(left_, left); }
  void SetTop(int top) { Assign(top_, top); }
  void Move(int left, int top, int width, int height);

  // The frame the control stands in (its positions are relative to it), or
  // nullptr for the window itself.
  const Control* Container() const noexcept { return container_; }
  void SetContainer(const Control* container) { container_ = container; }

  void Watch(std::function<void()> onChange) { watchers_.push_back(std::move(onChange)); }

protected:
  template <typename T>
  void Assign(T& field, T value) {
    if (field == value) return;
    field = std::move(value);
    Changed();
  }
  void Changed() {
    // A watcher may add watchers (the window host makes the dialog's window,
    // which watches the window control, while the window control tells its
    // watchers that it became visible): by index, over a deque, whose elements
    // stay in place when more are added.
    for (size_t i = 0; i < watchers_.size(); ++i) watchers_[i]();
  }

private:
  std::string name_;
  bool enabled_ = true;
  bool visible_ = true;
  std::string caption_;
  std::string toolTip_;
  OleColour backColor_ = DialogColour::White;
  OleColour foreColor_ = DialogColour::Black;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  const Control* container_ = nullptr;
  std::deque<std::function<void()>> watchers_;
};

using Handler = std::function<void()>;

class Label final : public Control {
public:
  using Control::Control;
};

class Frame final : public Control {
public:
  using Control::Control;
};

// A focus marker: a rectangle drawn round a check box.
class Shape final : public Control {
public:
  using Control::Control;
};

class Button final : public Control {
public:
  using Control::Control;
  void OnClick(Handler handler) { onClick_ = std::move(handler); }
  // A press of the button; a disabled button takes none.
  void Click() {
    if (Enabled() && onClick_) onClick_();
  }

private:
  Handler onClick_;
};

// A drop-down list. ListIndex -1 is no selection, as every list starts.
class ListBox final : public Control {
public:
  using Control::Control;

  void AddItem(std::string item);
  int ListCount() const noexcept { return static_cast<int>(items_.size()); }
  const std::vector<std::string>& Items() const noexcept { return items_; }
  const std::string& List(int index) const;

  int ListIndex() const noexcept { return listIndex_; }
  // -1 to ListCount - 1; anything else raises error 380 and changes nothing.
  // A change runs the click handler before returning.
  void SetListIndex(long long index);
  // The selected entry's text, "" without a selection.
  std::string Text() const;

  void OnClick(Handler handler) { onClick_ = std::move(handler); }
  void OnGotFocus(Handler handler) { onGotFocus_ = std::move(handler); }
  void GotFocus() {
    if (onGotFocus_) onGotFocus_();
  }

private:
  std::vector<std::string> items_;
  int listIndex_ = -1;
  Handler onClick_;
  Handler onGotFocus_;
};

// A check box holds 0 (clear), 1 (ticked) or 2 (greyed).
class CheckBox final : public Control {
public:
  using Control::Control;

  int Value() const noexcept { return value_; }
  // 0 to 2; anything else raises error 380. A change runs the click handler.
  void SetValue(int value);

  void OnClick(Handler handler) { onClick_ = std::move(handler); }
  void OnGotFocus(Handler handler) { onGotFocus_ = std::move(handler); }
  void OnLostFocus(Handler handler) { onLostFocus_ = std::move(handler); }
  void GotFocus() {
    if (onGotFocus_) onGotFocus_();
  }
  void LostFocus() {
    if (onLostFocus_) onLostFocus_();
  }

private:
  int value_ = 0;
  Handler onClick_;
  Handler onGotFocus_;
  Handler onLostFocus_;
};

// A one-line text box. The code may store any text; MaxLength (0 for none)
// only limits what the user types.
class TextBox final : public Control {
public:
  using Control::Control;

  const std::string& Text() const noexcept { return text_; }
  void SetText(std::string text) { Assign(text_, std::move(text)); }

  int MaxLength() const noexcept { return maxLength_; }
  void SetMaxLength(int length) { Assign(maxLength_, length); }

  // Boxes whose text goes into a configuration file take no double quote, CR or
  // LF from the user: the files quote their fields and end records with CR LF.
  bool FileText() const noexcept { return fileText_; }
  void SetFileText(bool fileText) { fileText_ = fileText; }
  // Boxes that select their whole text when they receive the focus.
  bool SelectAllOnFocus() const noexcept { return selectAllOnFocus_; }
  void SetSelectAllOnFocus(bool select) { selectAllOnFocus_ = select; }
  // Boxes that take only the keys of a number (see NumericKeyAllowed).
  bool NumericKeys() const noexcept { return numericKeys_; }
  void SetNumericKeys(bool numeric) { numericKeys_ = numeric; }

private:
  std::string text_;
  int maxLength_ = 0;
  bool fileText_ = false;
  bool selectAllOnFocus_ = false;
  bool numericKeys_ = false;
};

// The window itself: shown or hidden, and its mouse pointer.
class Window final : public Control {
public:
  using Control::Control;
  int MousePointer() const noexcept { return mousePointer_; }
  void SetMousePointer(int pointer) { Assign(mousePointer_, pointer); }

private:
  int mousePointer_ = MousePointer::Default;
};

// A control array: elements named "name(0)", "name(1)", ...; an index outside
// the array raises error 9.
template <typename T, int N>
class ControlArray {
public:
  explicit ControlArray(const std::string& name) : name_(name) {
    for (int i = 0; i < N; ++i) items_[static_cast<size_t>(i)] = std::make_unique<T>(name + "(" + std::to_string(i) + ")");
  }
  static constexpr int Count = N;
  template <typename F>
  void ForEach(F&& f) const {
    for (const auto& item : items_) f(*item);
  }
  T& operator[](long long index) const {
    CheckSubscript(index, 0, N - 1, name_.c_str());
    return *items_[static_cast<size_t>(index)];
  }

private:
  std::string name_;
  std::array<std::unique_ptr<T>, N> items_;
};

// True for the keys a numeric box takes: Backspace, Tab, Enter, Esc, End, Home,
// the four arrows, Delete and the digit keys 0 to 9 of the main keyboard. The key
// code alone decides (the original's key codes: 48 to 57 main digits, 96 to 105
// keypad digits, 65 to 90 letters).
bool NumericKeyAllowed(int keyCode);

// True when a text the user typed or pasted may stand in a box whose text goes
// into a configuration file: no double quote, CR or LF.
bool FileTextAccepts(const std::string& text);

}  // namespace tarvex
