#include "driver.h"
#include "platform.h"
#include "report.h"

int main(int argc, char **argv) {
  platform_claim_standard_streams();
  platform_catch_signals();
  output out = platform_stdout();
  std::vector<std::string_view> files = platform_file_arguments(argc, argv);
  // Only the usage text shows the program's path, so only then is it looked up.
  std::string program_path = files.empty() ? platform_program_path(argc > 0 ? argv[0] : "") : std::string();
  const file_system fs = {platform_file_ops(), PLATFORM_PATHS, PLATFORM_NAMES_DIFFER_BY_CASE, platform_stdout_file()};
  int status = run_tool(program_path, files, fs, out, platform_interrupted);
  // The report is out and the outcome decided: nothing after this changes it.
  bool interrupted = platform_interrupted();
  if (platform_console_is_own()) {
    write_text(out, KEY_PROMPT_TEXT);
    flush_output(out);
    platform_wait_for_key(status, interrupted);
  }
  // A calling shell or loop must still see the interrupt.
  if (interrupted)
    platform_end_interrupted();
  return status;
}
