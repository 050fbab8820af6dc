// Every text the tool prints, and how each is composed.
#pragma once

#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

#include "map_patch.h"

extern const std::string_view SEPARATOR_TEXT;
// Ends a run in a console window of the tool's own, which closes with it.
extern const std::string_view KEY_PROMPT_TEXT;

std::string banner_text();
std::string usage_text(std::string_view program_path);
// A name shows as it is, but for each control character (C0, DEL, C1 in
// UTF-8 or as a byte outside it), each mark that reorders text laid out in
// both directions, and each line or paragraph separator, which shows as "?":
// no name can move the cursor, reorder a line or split it.
std::string progress_text(std::string_view working_name);
// The verdict that completes a progress line: for a name that is no map
// name (no result), or for the result of its patch.
std::string_view verdict_text(std::optional<patch_result> result);

// Puts each value in place of the next "%s" of pattern; values are never rescanned.
std::string fill_pattern(std::string_view pattern, std::initializer_list<std::string_view> values);
