#include "map_name.h"

namespace {

std::string_view last_component(std::string_view name) {
  size_t start = name.size();
  while (start > 0 && name[start - 1] != '/' && name[start - 1] != '\\')
    --start;
  return name.substr(start);
}

// The last "." of the last component, or npos; a dot at its first byte starts a name, not an extension.
size_t extension_dot(std::string_view component) {
  size_t dot = component.rfind('.');
  return dot == 0 ? std::string_view::npos : dot;
}

char lower_byte(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Both derived names share this shape; only the letter case of the extension differs.
std::string with_extension(std::string name, std::string_view extension) {
  if (!has_extension(name)) {
    name += '.';
    name.append(extension);
  }
  return name;
}

}  // namespace

std::string upper_case(std::string_view text) {
  std::string result(text);
  for (char &c : result)
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  return result;
}

bool has_extension(std::string_view name) { return extension_dot(last_component(name)) != std::string_view::npos; }

std::string make_working_name(std::string_view argument) { return with_extension(upper_case(argument), MAP_EXTENSION); }

bool is_map_name(std::string_view working_name) {
  std::string_view component = last_component(working_name);
  size_t dot = extension_dot(component);
  return dot != std::string_view::npos && component.substr(dot + 1) == MAP_TAG;
}

std::string typed_name(std::string_view argument) {
  static const std::string lower_extension = [] {
    std::string extension(MAP_EXTENSION);
    for (char &c : extension)
      c = lower_byte(c);
    return extension;
  }();
  return with_extension(std::string(argument), lower_extension);
}
