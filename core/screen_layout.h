#pragma once
// Windows are laid out for screens 800 or 1024 pixels wide. Any wider screen
// takes the layout of the largest of the two it can hold: 800 to 1023 pixels
// give the 800 layout, 1024 and more the 1024 layout. Narrower screens are
// refused at start-up and have no layout.
namespace tarvex {

enum class ScreenLayout { None, Width800, Width1024 };

constexpr ScreenLayout LayoutFor(int screenWidth) {
  if (screenWidth >= 1024) return ScreenLayout::Width1024;
  if (screenWidth >= 800) return ScreenLayout::Width800;
  return ScreenLayout::None;
}

}  // namespace tarvex
