// Starts a program with an exact command line, as a shell never would:
//   launch PROGRAM LINE-FILE
// LINE-FILE holds the command line in UTF-16LE, unpaired surrogates and all.
// The program inherits the standard handles; its exit status is returned.
#include <windows.h>

#include <cstdio>
#include <string>

int wmain(int argc, wchar_t **argv) {
  if (argc != 3)
    return 125;
  FILE *file = _wfopen(argv[2], L"rb");
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
  if (!CreateProcessW(argv[1], line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
    return 126;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 126;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(status);
}
