#pragma once

#include <optional>

// What the number fields accept from the keyboard.
namespace quorel::core::KeyFilter
{
// Control characters and ASCII digits pass; full-width digits and the Roman numerals one to
// nine become the ASCII digit of the same value; nothing for every other character.
std::optional<char16_t> numberKey(char16_t c);
}
