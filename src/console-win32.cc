// Win32 console: interrupts (Ctrl+C, Ctrl+Break, the window closing), and
// the wait for a key that keeps a window of the tool's own on screen.
#include "interrupts.h"
#include "process.h"
#include "win32.h"

static_assert(CONSOLE_CTRL_C == CTRL_C_EVENT && CONSOLE_CTRL_BREAK == CTRL_BREAK_EVENT &&
                  CONSOLE_CLOSE == CTRL_CLOSE_EVENT && CONSOLE_LOGOFF == CTRL_LOGOFF_EVENT &&
                  CONSOLE_SHUTDOWN == CTRL_SHUTDOWN_EVENT,
              "console events as Win32 numbers them");

namespace {

volatile LONG interrupted = 0;
volatile LONG console_closing = 0;
// Set once the report is out and the tool waits for a key, with the exit
// code that the run has decided.
volatile LONG waiting = 0;
volatile LONG decided_exit = 0;
// The report's writes: how many began, and whether one is under way.
volatile LONG writes_begun = 0;
volatile LONG writing = 0;

LONG value_of(volatile LONG &flag) { return InterlockedCompareExchange(&flag, 0, 0); }

// A Windows write goes on whatever event comes, so the report waits on its
// output where one write stays under way for a while: a paused console, a
// pipe that nobody reads. One that ends meanwhile was only slow.
bool report_stuck() {
  LONG write = value_of(writes_begun);
  for (int tries = 0; tries < 20 && value_of(writing) != 0 && value_of(writes_begun) == write; ++tries)
    Sleep(10);
  return value_of(writing) != 0 && value_of(writes_begun) == write;
}

BOOL WINAPI on_console_event(DWORD event) {
  interrupt_kind kind{};
  if (!console_event_kind(event, &kind))
    return FALSE;
  bool stopping = value_of(interrupted) != 0;
  interrupt_state state{stopping, stopping && report_stuck(), value_of(waiting) != 0};
  switch (respond_to_interrupt(kind, state)) {
  case interrupt_response::none:
    return TRUE;
  case interrupt_response::stop_batch:
    InterlockedExchange(&interrupted, 1);
    return TRUE;
  case interrupt_response::stop_and_hold:
    // The process ends as soon as this returns: wait here until the main
    // thread has written out the report and ended it.
    InterlockedExchange(&interrupted, 1);
    InterlockedExchange(&console_closing, 1);
    Sleep(INFINITE);
    return TRUE;
  case interrupt_response::end_now:
    break;
  }
  // Not by ExitProcess: from this thread it could wait for a lock that the
  // main thread holds. A run that is over ends as it had ended.
  LONG exit_code = state.run_over ? value_of(decided_exit) : static_cast<LONG>(STATUS_CONTROL_C_EXIT);
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(exit_code));
  return TRUE;
}

// A function of the window library, loaded only where it is needed: a run
// from a shell costs nothing of it.
void *window_function(const char *name) {
  static HMODULE user32 = LoadLibraryW(L"user32.dll");
  return user32 != nullptr ? reinterpret_cast<void *>(GetProcAddress(user32, name)) : nullptr;
}

// Started neither hidden nor minimized (start /min, a shortcut set to run
// minimized): a window that a person is looking at.
bool shown_at_start() {
  STARTUPINFOW startup{};
  GetStartupInfoW(&startup);
  if ((startup.dwFlags & STARTF_USESHOWWINDOW) == 0)
    return true;
  switch (startup.wShowWindow) {
  case SW_HIDE:
  case SW_MINIMIZE:
  case SW_SHOWMINIMIZED:
  case SW_SHOWMINNOACTIVE:
  case SW_FORCEMINIMIZE:
    return false;
  default:
    return true;
  }
}

// A window station that a person sees: not that of a service, nor of a task
// that runs whether the user is logged on or not.
bool on_visible_station() {
  auto *station_of_process = reinterpret_cast<HWINSTA(WINAPI *)()>(window_function("GetProcessWindowStation"));
  auto *object_information = reinterpret_cast<BOOL(WINAPI *)(HANDLE, int, void *, DWORD, DWORD *)>(
      window_function("GetUserObjectInformationW"));
  USEROBJECTFLAGS flags{};
  DWORD size = 0;
  HWINSTA station = station_of_process != nullptr ? station_of_process() : nullptr;
  return station != nullptr && object_information != nullptr &&
         object_information(station, UOI_FLAGS, &flags, sizeof flags, &size) != FALSE &&
         (flags.dwFlags & WSF_VISIBLE) != 0;
}

// Wine runs a console on a Unix terminal, which outlives the tool, with a
// window that is never shown. Wine has no pseudo consoles, whose stand-in
// windows tell nothing: there the window's visibility is the truth.
bool windowless_under_wine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (ntdll == nullptr || GetProcAddress(ntdll, "wine_get_version") == nullptr)
    return false;
  auto *is_visible = reinterpret_cast<BOOL(WINAPI *)(HWND)>(window_function("IsWindowVisible"));
  return is_visible == nullptr || is_visible(GetConsoleWindow()) == FALSE;
}

// Whether to wait for a key at the end: where the console is the tool's own
// and a person sees it (made for it alone by drag and drop, a double-click
// or a shortcut; started neither hidden nor minimized; on a window station
// that is shown; both standard input and output). It closes as the tool
// ends. Never where the console is shared, hidden or closing, for a service
// or an unattended task, or where a stream is redirected.
bool window_closes_with_tool() {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  DWORD processes[2];
  return value_of(console_closing) == 0 && GetConsoleMode(in, &mode) != 0 && GetConsoleMode(out, &mode) != 0 &&
         GetConsoleProcessList(processes, 2) == 1 && shown_at_start() && on_visible_station() &&
         !windowless_under_wine();
}

// A key that types: a character, Enter, Escape, Space. Not a modifier, lock
// or function key, nor a shortcut held with Ctrl or Alt alone (Alt+Tab, Ctrl+A
// to copy the report), but for Ctrl+C; AltGr, Ctrl and Alt at once, types.
bool is_typing_key(const KEY_EVENT_RECORD &key) {
  if (key.bKeyDown == FALSE || key.uChar.UnicodeChar == 0)
    return false;
  bool ctrl = (key.dwControlKeyState & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) != 0;
  bool alt = (key.dwControlKeyState & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED)) != 0;
  return ctrl == alt || (ctrl && key.wVirtualKeyCode == 'C');
}

// Waits for a key that types. The run is over, with exit_code: a Ctrl+C,
// Ctrl+Break or closing window meanwhile ends the process so at once.
void wait_for_key(UINT exit_code) {
  InterlockedExchange(&decided_exit, static_cast<LONG>(exit_code));
  InterlockedExchange(&waiting, 1);
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  // Keys pressed during the run do not count; from here on, Ctrl+C is a key too.
  FlushConsoleInputBuffer(in);
  DWORD mode = 0;
  GetConsoleMode(in, &mode);
  SetConsoleMode(in, mode & ~static_cast<DWORD>(ENABLE_PROCESSED_INPUT));
  INPUT_RECORD record{};
  DWORD count = 0;
  while (ReadConsoleInputW(in, &record, 1, &count) != FALSE && count == 1)
    if (record.EventType == KEY_EVENT && is_typing_key(record.Event.KeyEvent))
      break;
  SetConsoleMode(in, mode);
}

}  // namespace

// Handles that were closed are never handed out again as standard ones, and
// a write refused by a limit fails as such: only the interrupts need a
// handler. Where Ctrl+C was ignored when the tool started, the system never
// calls it for one.
void platform_start() { SetConsoleCtrlHandler(on_console_event, TRUE); }

void report_write_begins() {
  InterlockedIncrement(&writes_begun);
  InterlockedExchange(&writing, 1);
}
void report_write_ends() { InterlockedExchange(&writing, 0); }

bool platform_interrupted() { return value_of(interrupted) != 0; }

int platform_end_run(output &out, std::string_view key_prompt, int status) {
  // The report is out and the outcome decided: nothing after this changes it.
  bool interrupted_run = platform_interrupted();
  UINT exit_code = interrupted_run ? static_cast<UINT>(STATUS_CONTROL_C_EXIT) : static_cast<UINT>(status);
  if (window_closes_with_tool()) {
    write_text(out, key_prompt);
    flush_output(out);
    wait_for_key(exit_code);
  }
  // A calling shell or loop must still see the interrupt.
  if (interrupted_run)
    ExitProcess(exit_code);
  return status;
}
