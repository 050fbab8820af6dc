// Splitting a whole command line into words, where the system hands the
// process one string instead of an argument vector.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The first word is the program's, read as the system reads it to start the
// program: it ends at the first blank or tab outside double quotes, quotes
// only open and close, and a backslash is a plain byte. A line that starts
// with a blank or tab has an empty program word.
//
// The file arguments follow. They end at blanks and tabs outside double
// quotes. Quotes are removed and a quoted stretch joins the word around it;
// "" makes an empty word; \" is a literal quote and every other backslash
// stays as it is.
std::vector<std::string> split_command_line(std::string_view line);
