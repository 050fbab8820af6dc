#include "driver.h"

#include <optional>

#include "map_name.h"
#include "map_patch.h"
#include "report.h"

int run_tool(const std::string &program_path, const std::vector<std::string_view> &arguments, const file_system &fs,
             output &out, bool (*interrupted)()) {
  if (arguments.empty()) {
    write_text(out, usage_text(program_path));
    flush_output(out);
    return EXIT_USAGE;
  }
  write_text(out, banner_text());
  write_text(out, SEPARATOR_TEXT);
  bool all_patched = true;
  lookup_cache cache;
  for (std::string_view argument : arguments) {
    if (interrupted())
      break;
    std::string name = make_working_name(argument, fs.paths);
    write_text(out, progress_text(name));
    std::optional<patch_result> result;  // none for a name that is no map name
    if (is_map_name(name, fs.paths))
      result = patch_map(name, make_typed_name(argument, fs.paths), fs, cache);
    write_text(out, verdict_text(result));
    all_patched = all_patched && result == patch_result::patched;
  }
  bool output_complete = flush_output(out);
  return all_patched && output_complete ? EXIT_ALL_PATCHED : EXIT_SOME_FAILED;
}
