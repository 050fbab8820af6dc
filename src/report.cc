#include "report.h"

namespace {

constexpr std::string_view BANNER_TEXT =
    "__ __Olum2Zavik --- -\n"
    "\t- HexadecimalPatch to convert OlumMap into ZavikMap\n"
    "\t- ../olum2zavik " O2Z_VERSION_MAJOR_MINOR "\\..\n";
constexpr std::string_view USAGE_PATTERN = "%s\nusage : %s <file[.bsp]> [<file[.bsp]>] [...]\n";
constexpr std::string_view PROGRESS_PATTERN = "Working on file %s : ";

}  // namespace

const std::string_view SEPARATOR_TEXT = "----------\\..........\n\n";
const std::string_view KEY_PROMPT_TEXT = "\nPress any key to close this window . . . ";

std::string fill_pattern(std::string_view pattern, std::initializer_list<std::string_view> values) {
  std::string text;
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

namespace {

// In UTF-8 a C1 control is 0xC2 followed by 0x80 to 0x9F.
bool starts_c1_control(std::string_view text, size_t at) {
  return text[at] == '\xC2' && at + 1 < text.size() && (text[at + 1] & 0xE0) == 0x80;
}

std::string shown_name(std::string_view name) {
  std::string shown;
  for (size_t at = 0; at < name.size(); ++at) {
    auto byte = static_cast<unsigned char>(name[at]);
    if (byte < 0x20 || byte == 0x7F) {
      shown += '?';
    } else if (starts_c1_control(name, at)) {
      shown += '?';
      ++at;
    } else {
      shown += name[at];
    }
  }
  return shown;
}

}  // namespace

std::string progress_text(std::string_view working_name) {
  return fill_pattern(PROGRESS_PATTERN, {shown_name(working_name)});
}

std::string_view verdict_text(std::optional<patch_result> result) {
  if (!result)
    return "failed, not a bsp file\n";
  switch (*result) {
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
