#include "map_name.h"

namespace {

std::string_view last_component(std::string_view name) {
  size_t slash = name.find_last_of("/\\");
  return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

char lower_byte(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Both derived names share this shape; only the letter case of the extension differs.
std::string with_extension(std::string_view name, std::string_view extension) {
  std::string result(name);
  if (!has_extension(name)) {
    result += '.';
    result.append(extension);
  }
  return result;
}

}  // namespace

std::string upper_case(std::string_view text) {
  std::string result(text);
  for (char &c : result)
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  return result;
}

bool has_extension(std::string_view name) {
  std::string_view component = last_component(name);
  return component.size() > 1 && component.find('.', 1) != std::string_view::npos;
}

std::string make_working_name(std::string_view argument) { return with_extension(upper_case(argument), MAP_EXTENSION); }

bool is_map_name(std::string_view working_name) {
  if (!has_extension(working_name))
    return false;
  std::string_view component = last_component(working_name);
  return component.substr(component.rfind('.') + 1) == MAP_TAG;
}

std::string typed_name(std::string_view argument) {
  std::string extension(MAP_EXTENSION);
  for (char &c : extension)
    c = lower_byte(c);
  return with_extension(argument, extension);
}
