// The tool's one loop: usage, or the banner and one status line per argument.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "file_system.h"
#include "output.h"

constexpr int EXIT_ALL_PATCHED = 0;
constexpr int EXIT_SOME_FAILED = 1;  // an argument was not patched, or output was lost
constexpr int EXIT_USAGE = 2;

// interrupted is asked before each argument: once it says so, no further
// argument is handled and the report so far is written out.
int run_tool(const std::string &program_path, const std::vector<std::string_view> &arguments, file_system &fs,
             output &out, bool (*interrupted)());
