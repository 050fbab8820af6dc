#include "report.h"

#include "wtf8.h"

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

// Characters that would change how a line reads instead of showing in it:
// C0 and C1 controls and DEL, the marks and embeddings that reorder text laid
// out in both directions, the line and paragraph separators, and surrogates,
// which are no characters at all.
bool is_hidden(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
         (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || (c >= 0xD800 && c <= 0xDFFF);
}

std::string shown_name(std::string_view name) {
  std::string shown;
  for (size_t at = 0; at < name.size();) {
    size_t start = at;
    char32_t c = 0;
    // A byte that starts no sequence stands for itself: 0x80 to 0x9F is a C1
    // control to a terminal that reads eight bits.
    if (!wtf8_decode(name, &at, &c))
      c = static_cast<unsigned char>(name[at++]);
    if (is_hidden(c))
      shown += '?';
    else
      shown.append(name, start, at - start);
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
