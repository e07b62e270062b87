#pragma once
// Field bytes written as a line of text, for the simulator's shell and the
// tests that drive it: \\ \0 \n \r \t and \xHH stand for their byte, every
// other byte below 32 or from 127 up is written as \xHH, the rest as itself.
#include <string>
#include <string_view>

namespace tarvex {

std::string EscapeBytes(std::string_view bytes);
// The bytes a text stands for; a backslash that starts no escape stands for
// the character after it.
std::string UnescapeBytes(std::string_view text);

}  // namespace tarvex
