// What the Windows suites need of Windows itself, which no shell gives:
//   launch PROGRAM LINE-FILE
//       starts PROGRAM with exactly the command line in LINE-FILE (UTF-16LE,
//       unpaired surrogates and all); it inherits the standard handles, and
//       its exit status is returned
//   launch --console shown|hidden PROGRAM LINE-FILE
//       starts it in a console of its own, shown or hidden, as Explorer or a
//       scheduled task would. Prints "ended STATUS" where it ends within five
//       seconds; else "waited", the lines of its window, and, once a key has
//       been pressed there, "then ended STATUS"
//   launch --console piped PROGRAM LINE-FILE
//       starts it in a hidden console of its own with standard output a
//       pipe, and copies what comes through; its exit status is returned
//   launch --short-name PATH
//       prints the short (8.3) name of PATH
// Texts are printed in UTF-8.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);

void print(const std::wstring &text) {
  std::string utf8(text.size() * 4 + 1, '\0');
  int bytes = text.empty() ? 0
                           : WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0],
                                                 static_cast<int>(utf8.size()), nullptr, nullptr);
  DWORD written = 0;
  WriteFile(out, utf8.data(), static_cast<DWORD>(bytes), &written, nullptr);
}

HANDLE open_console(const wchar_t *name) {
  return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                     nullptr);
}

// The lines of the console the launcher is attached to, up to its cursor.
void print_screen() {
  HANDLE screen = open_console(L"CONOUT$");
  CONSOLE_SCREEN_BUFFER_INFO info{};
  GetConsoleScreenBufferInfo(screen, &info);
  std::wstring row(static_cast<size_t>(info.dwSize.X), L' ');
  for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
    DWORD n = 0;
    ReadConsoleOutputCharacterW(screen, &row[0], static_cast<DWORD>(row.size()), COORD{0, y}, &n);
    print(row.substr(0, row.find_last_not_of(L' ') + 1) + L"\n");
  }
  CloseHandle(screen);
}

void press_a_key() {
  HANDLE keyboard = open_console(L"CONIN$");
  INPUT_RECORD keys[2] = {};
  for (int i = 0; i < 2; ++i) {
    keys[i].EventType = KEY_EVENT;
    keys[i].Event.KeyEvent.bKeyDown = i == 0;
    keys[i].Event.KeyEvent.wRepeatCount = 1;
    keys[i].Event.KeyEvent.wVirtualKeyCode = 'X';
    keys[i].Event.KeyEvent.uChar.UnicodeChar = L'x';
  }
  DWORD n = 0;
  WriteConsoleInputW(keyboard, keys, 2, &n);
  CloseHandle(keyboard);
}

DWORD status_of(const PROCESS_INFORMATION &process) {
  DWORD status = 126;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return status;
}

// how: "inherit" the launcher's handles, or a console of its own, "shown",
// "hidden" or "piped".
int start(const std::wstring &how, const wchar_t *program, const wchar_t *line_file) {
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
  startup.dwFlags = how == L"inherit" ? STARTF_USESTDHANDLES : STARTF_USESHOWWINDOW;
  startup.wShowWindow = how == L"shown" ? SW_SHOWNORMAL : SW_HIDE;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  HANDLE pipe_in = nullptr;
  if (how == L"piped") {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    if (!CreatePipe(&pipe_in, &startup.hStdOutput, &inherited, 0))
      return 125;
    SetHandleInformation(pipe_in, HANDLE_FLAG_INHERIT, 0);
    startup.dwFlags |= STARTF_USESTDHANDLES;
  }
  PROCESS_INFORMATION process{};
  DWORD flags = how == L"inherit" ? 0 : CREATE_NEW_CONSOLE;
  if (!CreateProcessW(program, line.data(), nullptr, nullptr, TRUE, flags, nullptr, nullptr, &startup, &process))
    return 126;
  if (pipe_in) {
    CloseHandle(startup.hStdOutput);
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(pipe_in, buffer, sizeof buffer, &n, nullptr) && n > 0)
      WriteFile(out, buffer, n, &n, nullptr);
  }
  if (how == L"inherit" || how == L"piped") {
    WaitForSingleObject(process.hProcess, INFINITE);
    return static_cast<int>(status_of(process));
  }
  if (WaitForSingleObject(process.hProcess, 5000) == WAIT_OBJECT_0) {
    print(L"ended " + std::to_wstring(status_of(process)) + L"\n");
    return 0;
  }
  print(L"waited\n");
  FreeConsole();
  if (!AttachConsole(process.dwProcessId))
    return 127;
  print_screen();
  press_a_key();
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
    TerminateProcess(process.hProcess, 124);
  print(L"then ended " + std::to_wstring(status_of(process)) + L"\n");
  return 0;
}

int print_short_name(const wchar_t *path) {
  std::wstring short_path(32768, L'\0');
  DWORD n = GetShortPathNameW(path, &short_path[0], static_cast<DWORD>(short_path.size()));
  if (n == 0 || n >= short_path.size())
    return 1;
  print(short_path.substr(0, n));
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
  std::wstring first = argc > 1 ? argv[1] : L"";
  if (argc == 3 && first == L"--short-name")
    return print_short_name(argv[2]);
  if (argc == 5 && first == L"--console")
    return start(argv[2], argv[3], argv[4]);
  if (argc == 3)
    return start(L"inherit", argv[1], argv[2]);
  return 125;
}
