// Name rules: how one argument becomes the working name that is shown and
// used, and which names denote a map.
#pragma once

#include <string>
#include <string_view>

// Appended, after a ".", to an argument that has no extension.
constexpr std::string_view MAP_EXTENSION = "BSP";
// What the map-name test looks for. It counts only as the whole extension of
// the last component: "bsp_notes.txt" and "e1m1.bsp.bak" are no maps.
constexpr std::string_view MAP_TAG = "BSP";

// How a platform writes paths. POSIX: only "/" separates components. Win32:
// "\" too, and a drive ("C:") may stand before the first one. All are ASCII,
// so no byte of a UTF-8 character is ever taken for one.
enum class path_syntax { posix, win32 };

inline bool is_separator(char c, path_syntax paths) { return c == '/' || (c == '\\' && paths == path_syntax::win32); }

// Only a to z change; bytes from 0x80 up and the locale are left alone.
inline char upper_byte(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// True when the last path component has a "." anywhere but at its first byte.
bool has_extension(std::string_view name, path_syntax paths);

// The upper-cased argument, with "." and MAP_EXTENSION where it has no extension.
std::string make_working_name(std::string_view argument, path_syntax paths);

// True when the last component's extension is exactly MAP_TAG.
bool is_map_name(std::string_view working_name, path_syntax paths);
// The same test for a name in any letter case, such as a file's own name.
bool is_map_file_name(std::string_view name, path_syntax paths);

// One argument and its working name: every name its file may be found by
// comes from these two.
struct map_names {
  std::string_view argument;
  const std::string &working;
};

// The argument as typed, with ".bsp" where the working name got ".BSP".
std::string make_typed_name(const map_names &names);
