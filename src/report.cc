#include "report.h"

namespace {

constexpr std::string_view BANNER_TEXT =
    "__ __Olum2Zavik --- -\n"
    "\t- HexadecimalPatch to convert OlumMap into ZavikMap\n"
    "\t- ../" O2Z_SIGN_OFF "\\..\n";
constexpr std::string_view USAGE_PATTERN = "%s\nusage : %s <file[.bsp]> [<file[.bsp]>] [...]\n";
constexpr std::string_view PROGRESS_PATTERN = "Working on file %s : ";

}  // namespace

const std::string_view SEPARATOR_TEXT = "----------\\..........\n\n";
const std::string_view NOT_A_MAP_TEXT = "failed, not a bsp file\n";

std::string fill_pattern(std::string_view pattern, std::initializer_list<std::string_view> values) {
  std::string text;
  size_t size = pattern.size();
  for (std::string_view v : values)
    size += v.size();
  text.reserve(size);
  const std::string_view *value = values.begin();
  size_t start = 0;
  for (size_t at = pattern.find("%s"); at != std::string_view::npos && value != values.end();
       at = pattern.find("%s", start)) {
    text.append(pattern.substr(start, at - start)).append(*value++);
    start = at + 2;
  }
  return text.append(pattern.substr(start));
}

std::string banner_text() { return std::string(BANNER_TEXT); }

std::string usage_text(std::string_view program_path) {
  return fill_pattern(USAGE_PATTERN, {BANNER_TEXT, program_path});
}

std::string progress_text(std::string_view working_name) { return fill_pattern(PROGRESS_PATTERN, {working_name}); }

std::string_view verdict_text(patch_result result) {
  switch (result) {
  case patch_result::patched:
    return "succeed\n";
  case patch_result::not_found:
    return "failed, file not found\n";
  case patch_result::not_writable:
  case patch_result::write_failed:
    return "failed, no write permission\n";
  case patch_result::open_failed:
    return "failed, cannot open the file \n";
  case patch_result::seek_failed:
    break;
  }
  return "failed\n";
}
