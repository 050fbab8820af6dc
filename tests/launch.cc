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

void print(const wchar_t *text, size_t size) {
  std::string utf8(size * 4 + 1, '\0');
  int bytes = size == 0 ? 0
                        : WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(size), &utf8[0],
                                              static_cast<int>(utf8.size()), nullptr, nullptr);
  DWORD written = 0;
  WriteFile(out, utf8.data(), static_cast<DWORD>(bytes), &written, nullptr);
}

void print(const std::wstring &text) { print(text.data(), text.size()); }

bool read_line(const wchar_t *line_file, std::wstring *line) {
  FILE *file = _wfopen(line_file, L"rb");
  if (!file)
    return false;
  unsigned char pair[2];
  while (fread(pair, 1, 2, file) == 2)
    *line += static_cast<wchar_t>(pair[0] | pair[1] << 8);
  fclose(file);
  return true;
}

DWORD status_of(const PROCESS_INFORMATION &process) {
  DWORD status = 126;
  GetExitCodeProcess(process.hProcess, &status);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return status;
}

// The lines of the console the launcher is attached to, up to its cursor.
void print_screen() {
  HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
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
  HANDLE keyboard = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
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

int start(const wchar_t *program, const wchar_t *line_file) {
  std::wstring line;
  if (!read_line(line_file, &line))
    return 125;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = out;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
    return 126;
  WaitForSingleObject(process.hProcess, INFINITE);
  return static_cast<int>(status_of(process));
}

int start_in_console(const std::wstring &how, const wchar_t *program, const wchar_t *line_file) {
  std::wstring line;
  if (!read_line(line_file, &line))
    return 125;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = how == L"shown" ? SW_SHOWNORMAL : SW_HIDE;
  HANDLE pipe_in = nullptr;
  HANDLE pipe_out = nullptr;
  if (how == L"piped") {
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    if (!CreatePipe(&pipe_in, &pipe_out, &inherited, 0))
      return 125;
    SetHandleInformation(pipe_in, HANDLE_FLAG_INHERIT, 0);
    startup.dwFlags |= STARTF_USESTDHANDLES;
    startup.hStdOutput = pipe_out;
  }
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(program, line.data(), nullptr, nullptr, pipe_out != nullptr, CREATE_NEW_CONSOLE, nullptr, nullptr,
                      &startup, &process))
    return 126;
  if (pipe_out) {
    CloseHandle(pipe_out);
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(pipe_in, buffer, sizeof buffer, &n, nullptr) && n > 0)
      WriteFile(out, buffer, n, &n, nullptr);
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
  print(short_path.data(), n);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
  std::wstring first = argc > 1 ? argv[1] : L"";
  if (argc == 3 && first == L"--short-name")
    return print_short_name(argv[2]);
  if (argc == 5 && first == L"--console")
    return start_in_console(argv[2], argv[3], argv[4]);
  if (argc == 3)
    return start(argv[1], argv[2]);
  return 125;
}
