// Every text the tool prints, and how each is composed.
#pragma once

#include <optional>
#include <string_view>

#include "map_patch.h"
#include "output.h"

extern const std::string_view BANNER_TEXT;
extern const std::string_view SEPARATOR_TEXT;
// Ends a run in a console window of the tool's own, which closes with it.
extern const std::string_view KEY_PROMPT_TEXT;

// The usage text names the program by its path, exactly as given.
void write_usage_text(output &out, std::string_view program_path);
// The progress text shows the name as shown_name shows it.
void write_progress_text(output &out, std::string_view working_name);
// The verdict that completes a progress line: for a name that is no map
// name (no result), or for the result of its patch.
std::string_view verdict_text(std::optional<patch_result> result);
