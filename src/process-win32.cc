// Win32 process: the command line, split by the tool itself, and the
// program's own path.
#include "command_line.h"
#include "process.h"
#include "win32.h"

namespace {

const std::vector<std::string> &command_words() {
  // The runtime's own argv goes through the code page and may expand
  // wildcards; the tool reads the wide line and splits it itself.
  static const std::vector<std::string> words = split_command_line(from_wide(GetCommandLineW()));
  return words;
}

}  // namespace

std::vector<std::string_view> platform_file_arguments(int, char **) {
  const std::vector<std::string> &words = command_words();
  return std::vector<std::string_view>(words.begin() + 1, words.end());
}

std::string platform_program_path(const char *) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (n == 0)
      return command_words()[0];
    if (n < path.size())
      return from_wide(std::wstring_view(path.data(), n));
    path.resize(path.size() * 2);
  }
}
