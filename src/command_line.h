// Splitting a whole command line into words, where the system hands the
// process one string instead of an argument vector.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Words end at blanks and tabs outside double quotes. Quotes are removed and a
// quoted stretch joins the word around it; "" makes an empty word; \" is a
// literal quote and every other backslash stays as it is.
std::vector<std::string> split_command_line(std::string_view line);
