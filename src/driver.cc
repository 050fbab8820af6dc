#include "driver.h"

#include <optional>

#include "map_name.h"
#include "map_patch.h"
#include "report.h"

int run_tool(const std::string &program_path, const std::vector<std::string_view> &arguments, file_system &fs,
             output &out, bool (*interrupted)()) {
  if (arguments.empty()) {
    write_usage_text(out, program_path);
    flush_output(out);
    return EXIT_USAGE;
  }
  write_text(out, BANNER_TEXT);
  write_text(out, SEPARATOR_TEXT);
  bool all_patched = true;
  for (std::string_view argument : arguments) {
    if (interrupted())
      break;
    std::string working = make_working_name(argument, fs.paths);
    write_progress_text(out, working);
    std::optional<patch_result> result;  // none for a name that is no map name
    if (is_map_name(working, fs.paths))
      result = patch_map({argument, working}, fs);
    write_text(out, verdict_text(result));
    all_patched = all_patched && result == patch_result::patched;
  }
  bool output_complete = flush_output(out);
  return all_patched && output_complete ? EXIT_ALL_PATCHED : EXIT_SOME_FAILED;
}
