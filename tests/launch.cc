// What the Windows suites need of Windows itself, which no shell gives:
//   launch PROGRAM LINE-FILE
//       starts PROGRAM with exactly the command line in LINE-FILE (UTF-16LE,
//       unpaired surrogates and all); it inherits the standard handles, and
//       its exit status is returned
//   launch --console shown|minimized|hidden PROGRAM LINE-FILE [KEYS]
//       starts it in a console of its own, shown, minimized or hidden, as
//       Explorer, a shortcut or a scheduled task would. Prints "ended STATUS"
//       where it ends without waiting; else, once it waits for a key,
//       "waited" and the lines of its window, presses KEYS there, and prints
//       "then ended STATUS" and the input it left unread. KEYS: "letter" (the
//       default), "others" (every key and event but one that types, then a
//       letter), "none" (for another program to end the wait)
//   launch --console piped PROGRAM LINE-FILE
//       starts it in a hidden console of its own with standard output a
//       pipe, and copies what comes through; its exit status is returned
//   launch --short-name PATH
//       prints the short (8.3) name of PATH
//   launch --final-name PATH
//       fails where the system cannot tell the file's own long name
// Texts are printed in UTF-8.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

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
std::wstring screen() {
  HANDLE console = open_console(L"CONOUT$");
  CONSOLE_SCREEN_BUFFER_INFO info{};
  GetConsoleScreenBufferInfo(console, &info);
  std::wstring row(static_cast<size_t>(info.dwSize.X), L' '), text;
  for (SHORT y = 0; y <= info.dwCursorPosition.Y; ++y) {
    DWORD n = 0;
    ReadConsoleOutputCharacterW(console, &row[0], static_cast<DWORD>(row.size()), COORD{0, y}, &n);
    text += row.substr(0, row.find_last_not_of(L' ') + 1) + L"\n";
  }
  CloseHandle(console);
  return text;
}

// Presses keys in the console the launcher is attached to (see KEYS above);
// its input stays open, to tell what the tool leaves unread.
HANDLE press(const std::wstring &keys) {
  struct stroke {
    WORD key;
    wchar_t typed;
    DWORD state;
  };
  // Shift, Ctrl, Caps Lock, Num Lock, the Windows key, F1, Alt, then Tab and
  // Space with Alt held, and Ctrl+A; the letter x ends them.
  const stroke others[] = {{VK_SHIFT, 0, SHIFT_PRESSED},
                           {VK_CONTROL, 0, LEFT_CTRL_PRESSED},
                           {VK_CAPITAL, 0, CAPSLOCK_ON},
                           {VK_NUMLOCK, 0, NUMLOCK_ON},
                           {VK_LWIN, 0, 0},
                           {VK_F1, 0, 0},
                           {VK_MENU, 0, LEFT_ALT_PRESSED},
                           {VK_TAB, L'\t', LEFT_ALT_PRESSED},
                           {VK_SPACE, L' ', LEFT_ALT_PRESSED},
                           {'A', 1, LEFT_CTRL_PRESSED}};
  std::vector<INPUT_RECORD> records(keys == L"others" ? std::size(others) + 2 : 1);
  for (size_t i = 0; i + 1 < records.size(); ++i) {
    stroke k = i < std::size(others) ? others[i] : stroke{};
    records[i].EventType = i < std::size(others) ? KEY_EVENT : FOCUS_EVENT;
    records[i].Event.KeyEvent = {TRUE, 1, k.key, 0, {k.typed}, k.state};
  }
  records.back().EventType = KEY_EVENT;
  records.back().Event.KeyEvent = {TRUE, 1, 'X', 0, {L'x'}, 0};
  HANDLE keyboard = open_console(L"CONIN$");
  DWORD n = 0;
  if (keys != L"none")
    WriteConsoleInputW(keyboard, records.data(), static_cast<DWORD>(records.size()), &n);
  return keyboard;
}

// Whether the tool in the console the launcher is attached to waits for a
// key: its prompt shows, and it reads keys (it has turned processed input off).
bool waits_for_a_key() {
  HANDLE keyboard = open_console(L"CONIN$");
  DWORD mode = ENABLE_PROCESSED_INPUT;
  GetConsoleMode(keyboard, &mode);
  CloseHandle(keyboard);
  return (mode & ENABLE_PROCESSED_INPUT) == 0 && screen().find(L"Press any key") != std::wstring::npos;
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
int start(const std::wstring &how, const wchar_t *program, const wchar_t *line_file, const std::wstring &keys) {
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
  startup.wShowWindow = how == L"shown" ? SW_SHOWNORMAL : how == L"minimized" ? SW_SHOWMINNOACTIVE : SW_HIDE;
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
  // Until it ends, or waits for a key; 20 seconds at most.
  FreeConsole();
  for (int tries = 0; tries < 400; ++tries) {
    if (WaitForSingleObject(process.hProcess, 50) == WAIT_OBJECT_0) {
      print(L"ended " + std::to_wstring(status_of(process)) + L"\n");
      return 0;
    }
    if (AttachConsole(process.dwProcessId) == FALSE)
      continue;
    if (waits_for_a_key())
      break;
    FreeConsole();
  }
  print(L"waited\n" + screen());
  HANDLE keyboard = press(keys);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
    TerminateProcess(process.hProcess, 124);
  DWORD unread = 0;
  GetNumberOfConsoleInputEvents(keyboard, &unread);
  CloseHandle(keyboard);
  print(L"then ended " + std::to_wstring(status_of(process)) + L", " + std::to_wstring(unread) + L" unread\n");
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

int check_final_name(const std::wstring &path) {
  std::wstring verbatim = path.compare(0, 4, L"\\\\?\\") == 0 ? path : L"\\\\?\\" + path;
  HANDLE file = CreateFileW(verbatim.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  std::wstring name(32768, L'\0');
  DWORD n = GetFinalPathNameByHandleW(file, &name[0], static_cast<DWORD>(name.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_NONE);
  CloseHandle(file);
  return n > 0 && n < name.size() ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t **argv) {
  std::wstring first = argc > 1 ? argv[1] : L"";
  if (argc == 3 && first == L"--short-name")
    return print_short_name(argv[2]);
  if (argc == 3 && first == L"--final-name")
    return check_final_name(argv[2]);
  if ((argc == 5 || argc == 6) && first == L"--console")
    return start(argv[2], argv[3], argv[4], argc == 6 ? argv[5] : L"letter");
  if (argc == 3)
    return start(L"inherit", argv[1], argv[2], L"");
  return 125;
}
