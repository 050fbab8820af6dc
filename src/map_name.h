// Name rules: how one argument becomes the working name that is shown and
// used, and which working names denote a map.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Appended to an argument that has no extension.
constexpr std::string_view MAP_EXTENSION = "BSP";
// The extension a working name must carry to be patched.
constexpr std::string_view MAP_TAG = "BSP";

// How a platform writes paths: the bytes that separate components, and
// whether a leading drive ("C:") stands before the first one. All are ASCII,
// so no byte of a UTF-8 character is ever taken for one.
struct path_syntax {
  std::string_view separators;
  bool drive_prefix;
};
constexpr path_syntax POSIX_PATHS = {"/", false};
constexpr path_syntax WIN32_PATHS = {"/\\", true};

// Only a to z change; bytes from 0x80 up and the locale are left alone.
char upper_byte(char c);
std::string upper_case(std::string_view text);

// True when the last path component has a "." anywhere but at its first byte.
bool has_extension(std::string_view name, const path_syntax &paths);

// The upper-cased argument, with "." and MAP_EXTENSION where it has no extension.
std::string make_working_name(std::string_view argument, const path_syntax &paths);

// True when the last component's extension is exactly MAP_TAG.
bool is_map_name(std::string_view working_name, const path_syntax &paths);

// The argument as typed, with ".bsp" where the working name got its extension:
// the first name tried on a file system that distinguishes case.
std::string make_typed_name(std::string_view argument, const path_syntax &paths);

// The components of a path, without its separators; "a//b/" has two.
std::vector<std::string> split_path(std::string_view path, const path_syntax &paths);
