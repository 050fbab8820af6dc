#include "map_name.h"

#include <algorithm>
#include <cctype>

namespace {

bool is_drive(std::string_view start) {
  char c = start.size() == 2 ? upper_byte(start[0]) : '\0';
  return c >= 'A' && c <= 'Z' && start[1] == ':';
}

// The last component's extension, after its last dot; none where the
// component has no dot but at its first byte, which starts a name, not an
// extension. A drive ("Z:") stands before the first component, not in it.
bool find_extension(std::string_view name, path_syntax paths, std::string_view *extension) {
  size_t end = name.size();  // of the part before the extension
  while (end > 0 && name[end - 1] != '.' && !is_separator(name[end - 1], paths))
    --end;
  if (end < 2 || name[end - 1] != '.')
    return false;
  size_t before = end - 2;  // the byte before the dot
  if (is_separator(name[before], paths) || (paths == path_syntax::win32 && is_drive(name.substr(0, end - 1))))
    return false;
  *extension = name.substr(end);
  return true;
}

}  // namespace

bool has_extension(std::string_view name, path_syntax paths) {
  std::string_view extension;
  return find_extension(name, paths, &extension);
}

std::string make_working_name(std::string_view argument, path_syntax paths) {
  bool extension = has_extension(argument, paths);
  std::string name(argument.size() + (extension ? 0 : 1 + MAP_EXTENSION.size()), '.');
  std::transform(argument.begin(), argument.end(), name.begin(), upper_byte);
  if (!extension)
    MAP_EXTENSION.copy(&name[argument.size() + 1], MAP_EXTENSION.size());
  return name;
}

bool is_map_name(std::string_view working_name, path_syntax paths) {
  std::string_view extension;
  return find_extension(working_name, paths, &extension) && extension == MAP_TAG;
}

bool is_map_file_name(std::string_view name, path_syntax paths) {
  std::string_view extension;
  if (!find_extension(name, paths, &extension))
    return false;
  return std::equal(extension.begin(), extension.end(), MAP_TAG.begin(), MAP_TAG.end(),
                    [](char c, char tag) { return upper_byte(c) == tag; });
}

std::string make_typed_name(const map_names &names) {
  std::string typed(names.argument);
  // What the working name holds beyond the argument is the extension it got,
  // ".BSP", which people type in lower case (the C locale's: the program's own).
  for (char c : std::string_view(names.working).substr(typed.size()))
    typed += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return typed;
}
