#pragma once
// The key code the dialog's key filters test, from a Qt key event: 8 Backspace,
// 9 Tab, 13 Enter, 27 Esc, 33 to 40 the page, End, Home and arrow keys, 46
// Delete, 48 to 57 the digits of the main keyboard, 65 to 90 the letters, 96 to
// 105 the digits of the keypad, and so on. A key with no such code gives 0.
//
// Qt names the character a key produced, not the key itself, so a shifted
// digit key ("!" on Shift+1) gives the code of its character, not 48 to 57.
class QKeyEvent;

namespace tarvex {

int OriginalKeyCode(const QKeyEvent& event);

}  // namespace tarvex
