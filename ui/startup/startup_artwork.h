#pragma once
// The start-up window's pictures, drawn by the program: the maker logo and the
// picture of the main-choice panel, each in a size for the 800 and the 1024
// layout.
#include <QPixmap>

#include "core/screen_layout.h"

namespace tarvex {

QSize LogoSize(ScreenLayout layout);
QSize MenuSize(ScreenLayout layout);

QPixmap DrawMakerLogo(ScreenLayout layout);
QPixmap DrawMainChoicePanel(ScreenLayout layout);

}  // namespace tarvex
