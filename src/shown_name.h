// How a name shows in the report: as it is, but for each character that
// would change how the line reads instead of showing in it, which shows as
// "?". No name can break its line, move the cursor, reorder the text or hide
// a character; it can still look like another name, as any name can.
#pragma once

#include <string>
#include <string_view>

// True where the name shows as it is: no byte of it needs a "?".
bool shows_as_it_is(std::string_view name);
std::string shown_name(std::string_view name);
