// What the Windows suites need of Windows itself, which no shell gives:
//   launch PROGRAM LINE-FILE     starts PROGRAM with exactly the command line
//                                in LINE-FILE (UTF-16LE, unpaired surrogates
//                                and all); it inherits the standard handles,
//                                and its exit status is returned
//   launch --short-name PATH     prints the short (8.3) name of PATH in UTF-8
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

int start(const wchar_t *program, const wchar_t *line_file) {
  FILE *file = _wfopen(line_file, L"rb");
  if (!file)
    return 125;
  std::wstring line;
  unsigned char pair[2];
  while (fread(pair, 1, 2, file) == 2)
    line += static_cast<wchar_t>(pair[0] | pair[1] << 8);
  fclose(file);

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = GetStdHandle(STD_OUTPUT_HANDLE);
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
    return 126;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 126;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}

int print_short_name(const wchar_t *path) {
  wchar_t short_path[32768];
  DWORD n = GetShortPathNameW(path, short_path, 32768);
  char utf8[4 * 32768];
  int bytes = n == 0 || n >= 32768 ? 0
                                   : WideCharToMultiByte(CP_UTF8, 0, short_path, static_cast<int>(n), utf8, sizeof utf8,
                                                         nullptr, nullptr);
  if (bytes == 0)
    return 1;
  fwrite(utf8, 1, static_cast<size_t>(bytes), stdout);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
  if (argc == 3 && std::wstring(argv[1]) == L"--short-name")
    return print_short_name(argv[2]);
  if (argc == 3)
    return start(argv[1], argv[2]);
  return 125;
}
