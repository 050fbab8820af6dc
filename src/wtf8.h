// Names as bytes where the system speaks UTF-16 (Win32). The tool holds them
// as WTF-8: UTF-8 that can also carry an unpaired surrogate, so that every
// name goes back to exactly the code units it came from. The splitter and the
// name rules work on these bytes unchanged: in UTF-8 no byte of a character
// outside ASCII is below 0x80.
#pragma once

#include <string>
#include <string_view>

std::string wtf8_from_utf16(std::u16string_view units);

// The one character at bytes[*at], moving *at past it; false, with *at as it
// was, where no WTF-8 sequence starts there. A surrogate decodes to itself.
bool wtf8_decode(std::string_view bytes, size_t *at, char32_t *c);

// Fills *units, with U+FFFD for each byte that starts no WTF-8 sequence, and
// returns false if there was any: such a name stands for no file.
bool utf16_from_wtf8(std::string_view bytes, std::u16string *units);
