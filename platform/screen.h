#pragma once
namespace tarvex {

// The primary screen, as the layouts read it.
class Screen {
public:
  virtual ~Screen() = default;
  virtual int PrimaryWidth() const = 0;
};

class FixedScreen final : public Screen {
public:
  explicit FixedScreen(int width) : width_(width) {}
  int PrimaryWidth() const override { return width_; }

private:
  int width_;
};

}  // namespace tarvex
