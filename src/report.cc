#include "report.h"

#include <initializer_list>
#include <string>

#include "shown_name.h"

namespace {

constexpr std::string_view USAGE_PATTERN = "%s\nusage : %s <file[.bsp]> [<file[.bsp]>] [...]\n";
constexpr std::string_view PROGRESS_PATTERN = "Working on file %s : ";

// Writes pattern with each value in place of the next "%s", as one text;
// values are never rescanned. There is a value for each "%s".
void write_filled(output &out, std::string_view pattern, std::initializer_list<std::string_view> values) {
  const std::string_view *value = values.begin();
  for (size_t at = pattern.find("%s"); at != std::string_view::npos; at = pattern.find("%s")) {
    append_text(out, pattern.substr(0, at));
    append_text(out, *value++);
    pattern.remove_prefix(at + 2);
  }
  append_text(out, pattern);
  end_text(out);
}

}  // namespace

const std::string_view BANNER_TEXT =
    "__ __Olum2Zavik --- -\n"
    "\t- HexadecimalPatch to convert OlumMap into ZavikMap\n"
    "\t- ../olum2zavik " O2Z_VERSION "\\..\n";
const std::string_view SEPARATOR_TEXT = "----------\\..........\n\n";
const std::string_view KEY_PROMPT_TEXT = "\nPress any key to close this window . . . ";

void write_usage_text(output &out, std::string_view program_path) {
  write_filled(out, USAGE_PATTERN, {BANNER_TEXT, program_path});
}

void write_progress_text(output &out, std::string_view working_name) {
  if (shows_as_it_is(working_name))
    write_filled(out, PROGRESS_PATTERN, {working_name});
  else
    write_filled(out, PROGRESS_PATTERN, {shown_name(working_name)});
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
