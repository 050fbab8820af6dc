#include "driver.h"
#include "process.h"
#include "report.h"

int main(int argc, char **argv) {
  platform_start();
  output out = platform_stdout();
  std::vector<std::string_view> files = platform_file_arguments(argc, argv);
  // Only the usage text shows the program's path, so only then is it looked up.
  std::string program_path = files.empty() ? platform_program_path(argc > 0 ? argv[0] : "") : std::string();
  file_system fs = platform_file_system();
  fs.report_file = platform_stdout_file();
  int status = run_tool(program_path, files, fs, out, platform_interrupted);
  return platform_end_run(out, KEY_PROMPT_TEXT, status);
}
