// Every text the tool prints, and how each is composed.
#pragma once

#include <string>
#include <string_view>

#include "map_patch.h"

extern const std::string_view SEPARATOR_TEXT;
extern const std::string_view NOT_A_MAP_TEXT;

std::string banner_text();
std::string usage_text(std::string_view program_path);
std::string progress_text(std::string_view working_name);
std::string_view verdict_text(patch_result result);

// Puts each value in place of the next "%s" of pattern; values are never rescanned.
std::string fill_pattern(std::string_view pattern, std::initializer_list<std::string_view> values);
