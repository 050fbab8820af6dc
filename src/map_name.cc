#include "map_name.h"

#include <algorithm>

namespace {

bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string_view last_component(std::string_view name, const path_syntax &paths) {
  size_t start = name.find_last_of(paths.separators);
  start = start == std::string_view::npos ? 0 : start + 1;
  if (start == 0 && paths.drive_prefix && name.size() >= 2 && is_letter(name[0]) && name[1] == ':')
    start = 2;
  return name.substr(start);
}

// The last "." of the last component, or npos; a dot at its first byte starts a name, not an extension.
size_t extension_dot(std::string_view component) {
  size_t dot = component.rfind('.');
  return dot == 0 ? std::string_view::npos : dot;
}

char lower_byte(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Both derived names share this shape; only the letter case of the extension differs.
std::string with_extension(std::string name, std::string_view extension, const path_syntax &paths) {
  if (!has_extension(name, paths)) {
    name += '.';
    name.append(extension);
  }
  return name;
}

}  // namespace

char upper_byte(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

std::string upper_case(std::string_view text) {
  std::string result(text);
  for (char &c : result)
    c = upper_byte(c);
  return result;
}

bool has_extension(std::string_view name, const path_syntax &paths) {
  return extension_dot(last_component(name, paths)) != std::string_view::npos;
}

std::string make_working_name(std::string_view argument, const path_syntax &paths) {
  return with_extension(upper_case(argument), MAP_EXTENSION, paths);
}

bool is_map_name(std::string_view working_name, const path_syntax &paths) {
  std::string_view component = last_component(working_name, paths);
  size_t dot = extension_dot(component);
  return dot != std::string_view::npos && component.substr(dot + 1) == MAP_TAG;
}

std::string make_typed_name(std::string_view argument, const path_syntax &paths) {
  static const std::string lower_extension = [] {
    std::string extension(MAP_EXTENSION);
    for (char &c : extension)
      c = lower_byte(c);
    return extension;
  }();
  return with_extension(std::string(argument), lower_extension, paths);
}

std::vector<std::string> split_path(std::string_view path, const path_syntax &paths) {
  std::vector<std::string> parts;
  for (size_t start = 0; start <= path.size();) {
    size_t end = std::min(path.find_first_of(paths.separators, start), path.size());
    if (end > start)
      parts.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}
