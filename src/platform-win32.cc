// Win32 side of the platform seam: the reference platform. Names arrive as
// UTF-16 and travel through the tool as WTF-8; only the wide calls are used,
// so no name ever passes through a code page on its way to a file.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "command_line.h"
#include "map_name.h"
#include "platform.h"
#include "wtf8.h"

namespace {

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide text is UTF-16");

std::string from_wide(const wchar_t *text, size_t size) {
  return wtf8_from_utf16(std::u16string_view(reinterpret_cast<const char16_t *>(text), size));
}

// The UTF-16 of a text; false where its bytes hold something that is no WTF-8.
bool to_wide(std::string_view text, std::wstring *wide) {
  std::u16string units;
  bool exact = utf16_from_wtf8(text, &units);
  wide->assign(units.begin(), units.end());
  return exact;
}

bool starts_with(std::wstring_view text, std::wstring_view prefix) { return text.substr(0, prefix.size()) == prefix; }

bool same_ignoring_case(std::wstring_view a, std::wstring_view b) {
  return a.size() == b.size() && _wcsnicmp(a.data(), b.data(), a.size()) == 0;
}

constexpr std::wstring_view VERBATIM = L"\\\\?\\";
constexpr std::wstring_view DEVICE = L"\\\\.\\";
constexpr std::wstring_view NT_OBJECTS = L"\\??\\";

bool is_ascii_letter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }
bool starts_with_drive(std::wstring_view path) {
  return path.size() >= 2 && is_ascii_letter(path[0]) && path[1] == L':';
}

// A UNC path ("server\share\...") into a server's named pipes or mailslots.
bool is_object_share(std::wstring_view unc) {
  size_t server_end = unc.find(L'\\');
  if (server_end == std::wstring_view::npos)
    return false;
  std::wstring_view share = unc.substr(server_end + 1);
  share = share.substr(0, share.find(L'\\'));
  return same_ignoring_case(share, L"PIPE") || same_ignoring_case(share, L"MAILSLOT");
}

// A name that Windows before 11 reads as a device in any folder, whatever
// its extension: CON, NUL.BSP, "NUL .BSP", COM1 to COM9, LPT1 to LPT9 (with
// superscript digits too), CONIN$, CONOUT$. Windows 11 keeps only the bare
// names as devices; refused on every Windows, a name means one thing on all.
bool is_device_name(std::wstring_view component) {
  std::wstring_view base = component.substr(0, component.find_first_of(L".:"));
  while (!base.empty() && base.back() == L' ')
    base.remove_suffix(1);
  for (std::wstring_view device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"})
    if (same_ignoring_case(base, device))
      return true;
  wchar_t digit = base.size() == 4 ? base[3] : L'0';
  bool numbered = (digit >= L'1' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3';
  return numbered && (same_ignoring_case(base.substr(0, 3), L"COM") || same_ignoring_case(base.substr(0, 3), L"LPT"));
}

enum class name_kind { file, device, invalid };

// Whether a path leads to a file, read with either separator. A path into
// the system's object space (\\.\, \\?\, \??\) goes on with a drive ("C:\")
// or a share ("UNC\server\share\") or leads to a device; a share named PIPE
// or MAILSLOT holds a server's pipes and mailslots; and a last component
// that is a device name, or names a stream of a file ("e1m1:x.bsp"), is no
// file either.
name_kind kind_of(std::wstring path) {
  std::replace(path.begin(), path.end(), L'/', L'\\');
  std::wstring_view rest = path;
  if (starts_with(rest, VERBATIM) || starts_with(rest, DEVICE) || starts_with(rest, NT_OBJECTS)) {
    rest.remove_prefix(VERBATIM.size());
    bool drive = starts_with_drive(rest) && rest.size() >= 3 && rest[2] == L'\\';
    bool share =
        rest.size() >= 4 && same_ignoring_case(rest.substr(0, 4), L"UNC\\") && !is_object_share(rest.substr(4));
    if (!drive && !share)
      return name_kind::device;
  } else if (starts_with(rest, L"\\\\") && is_object_share(rest.substr(2))) {
    return name_kind::device;
  }
  size_t separator = rest.rfind(L'\\');
  std::wstring_view last = separator != std::wstring_view::npos ? rest.substr(separator + 1)
                           : starts_with_drive(rest)            ? rest.substr(2)
                                                                : rest;
  return is_device_name(last) || last.find(L':') != std::wstring_view::npos ? name_kind::device : name_kind::file;
}

// The name as the wide calls take it, and whether it leads to a file; all
// is decided on the text alone, before any call that could open something.
// One that starts with \\?\ or \??\ goes as given, as the system takes it
// verbatim; so does one that is shorter than MAX_PATH, once its full path
// (the system's own reading of it) leads to a file too. Otherwise the full
// path goes, in the \\?\ form where it is that long.
name_kind system_path(const std::string &name, std::wstring *path) {
  if (!to_wide(name, path))
    return name_kind::invalid;
  if (kind_of(*path) != name_kind::file)
    return name_kind::device;
  if (starts_with(*path, VERBATIM) || starts_with(*path, NT_OBJECTS))
    return name_kind::file;
  DWORD size = GetFullPathNameW(path->c_str(), 0, nullptr, nullptr);
  std::wstring full(size, L'\0');
  DWORD n = size == 0 ? 0 : GetFullPathNameW(path->c_str(), size, &full[0], nullptr);
  if (n == 0 || n >= size)
    return name_kind::invalid;
  full.resize(n);
  if (kind_of(full) != name_kind::file)
    return name_kind::device;
  if (path->size() >= MAX_PATH || n >= MAX_PATH) {
    if (n < MAX_PATH || starts_with(full, VERBATIM))
      *path = full;
    else if (starts_with(full, L"\\\\"))
      path->assign(VERBATIM).append(L"UNC\\").append(full, 2);
    else
      path->assign(VERBATIM).append(full);
  }
  return name_kind::file;
}

// A handle travels through the seam as an opaque integer.
HANDLE as_handle(const open_file &file) {
  return reinterpret_cast<HANDLE>(file.handle);  // NOLINT(performance-no-int-to-ptr)
}

file_info win32_query(const std::string &name) {
  std::wstring path;
  switch (system_path(name, &path)) {
  case name_kind::invalid:
    return file_info{};
  case name_kind::device:
    return {true, true, false, name, true};  // refused before anything opens it
  case name_kind::file:
    break;
  }
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return file_info{};
  bool writable = (attributes & FILE_ATTRIBUTE_READONLY) == 0;
  bool regular_file = (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
  return {true, writable, regular_file, name, true};
}

file_id id_of(const BY_HANDLE_FILE_INFORMATION &info) {
  return {info.dwVolumeSerialNumber, static_cast<uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow};
}

// The name of the file itself, after every link, junction and short name.
// Where the system cannot tell it (Wine, for one of MAX_PATH characters or
// more), the file is not written: the name it was opened by could be an
// alias of a file that is no map.
bool final_name(HANDLE file, std::string *name) {
  std::wstring path(MAX_PATH, L'\0');
  const DWORD flags = FILE_NAME_NORMALIZED | VOLUME_NAME_NONE;
  DWORD n = GetFinalPathNameByHandleW(file, &path[0], static_cast<DWORD>(path.size()), flags);
  if (n >= path.size()) {
    path.resize(n);
    n = GetFinalPathNameByHandleW(file, &path[0], static_cast<DWORD>(path.size()), flags);
  }
  if (n == 0 || n >= path.size())
    return false;
  *name = from_wide(path.data(), n);
  return true;
}

// The file is first opened only to read its attributes and its own name: a
// device, a directory or a read-only file never gets a handle that can write.
// The same file is then opened again for writing.
bool win32_open(const std::string &name, open_file *file) {
  std::wstring path;
  if (system_path(name, &path) != name_kind::file)
    return false;
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  HANDLE seen =
      CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (seen == INVALID_HANDLE_VALUE)
    return false;
  BY_HANDLE_FILE_INFORMATION info{};
  std::string own_name;
  if (GetFileType(seen) != FILE_TYPE_DISK || GetFileInformationByHandle(seen, &info) == FALSE ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !final_name(seen, &own_name)) {
    CloseHandle(seen);
    return false;
  }
  bool writable = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) == 0;
  HANDLE handle = seen;
  if (writable) {
    handle = ReOpenFile(seen, GENERIC_WRITE, share, 0);
    CloseHandle(seen);
    if (handle == INVALID_HANDLE_VALUE)
      return false;
  }
  *file = {reinterpret_cast<intptr_t>(handle), writable, own_name, id_of(info)};
  return true;
}

write_outcome win32_write_at(const open_file &file, uint64_t offset, const void *data, size_t size) {
  LARGE_INTEGER position{};
  position.QuadPart = static_cast<LONGLONG>(offset);
  if (SetFilePointerEx(as_handle(file), position, nullptr, FILE_BEGIN) == FALSE)
    return write_outcome::bad_offset;
  DWORD count = 0;
  if (WriteFile(as_handle(file), data, static_cast<DWORD>(size), &count, nullptr) == FALSE || count != size)
    return write_outcome::failed;
  return write_outcome::written;
}

bool win32_close(const open_file &file) { return CloseHandle(as_handle(file)) != 0; }

// Names here compare without regard to case, so no directory is ever listed.
bool win32_list_directory(const std::string &, std::vector<std::string> *) { return false; }
bool win32_stat_directory(const std::string &, dir_status *) { return false; }

bool write_all(HANDLE out, const char *data, size_t size) {
  while (size > 0) {
    DWORD count = 0;
    if (WriteFile(out, data, static_cast<DWORD>(size), &count, nullptr) == FALSE || count == 0)
      return false;
    data += count;
    size -= count;
  }
  return true;
}

// A console takes UTF-16, so every name shows as typed, whatever the code page.
bool console_sink(void *context, const char *data, size_t size) {
  std::wstring text;
  to_wide(std::string_view(data, size), &text);
  const size_t CHUNK = 8192;  // consoles refuse very long writes
  for (size_t at = 0; at < text.size();) {
    size_t n = text.size() - at < CHUNK ? text.size() - at : CHUNK;
    if (at + n < text.size() && IS_HIGH_SURROGATE(text[at + n - 1]))
      --n;  // a character is never split between two writes
    DWORD count = 0;
    if (WriteConsoleW(static_cast<HANDLE>(context), text.data() + at, static_cast<DWORD>(n), &count, nullptr) ==
            FALSE ||
        count == 0)
      return false;
    at += count;
  }
  return true;
}

// Where redirected output goes, and in which code page its reader decodes it.
struct redirection {
  HANDLE handle;
  UINT code_page;
};

// A file or pipe gets its reader's code page: "?" for each character the code
// page lacks, never a look-alike that would name another file.
bool redirected_sink(void *context, const char *data, size_t size) {
  const redirection &to = *static_cast<const redirection *>(context);
  std::wstring text;
  to_wide(std::string_view(data, size), &text);
  if (text.empty())
    return true;
  int length = static_cast<int>(text.size());
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  const char *unknown = "?";
  int bytes = WideCharToMultiByte(to.code_page, flags, text.data(), length, nullptr, 0, unknown, nullptr);
  if (bytes == 0) {
    // Code pages such as UTF-8 take neither flags nor a default character.
    flags = 0;
    unknown = nullptr;
    bytes = WideCharToMultiByte(to.code_page, flags, text.data(), length, nullptr, 0, unknown, nullptr);
  }
  std::string encoded(static_cast<size_t>(bytes), '\0');
  if (bytes == 0 ||
      WideCharToMultiByte(to.code_page, flags, text.data(), length, &encoded[0], bytes, unknown, nullptr) != bytes)
    return false;
  return write_all(to.handle, encoded.data(), encoded.size());
}

volatile LONG interrupted = 0;
volatile LONG console_closing = 0;
// Set once the report is out and the tool waits for a key, with the exit
// code that the run has decided.
volatile LONG waiting = 0;
volatile LONG decided_exit = 0;

BOOL WINAPI on_console_event(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
    return FALSE;
  // The run is over: it ends at once, as it had ended.
  if (InterlockedCompareExchange(&waiting, 0, 0) != 0)
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(InterlockedCompareExchange(&decided_exit, 0, 0)));
  bool second = InterlockedExchange(&interrupted, 1) != 0;
  // A closing console ends the process as soon as this returns: wait here
  // until the main thread has written out the report and ended it.
  if (event == CTRL_CLOSE_EVENT) {
    InterlockedExchange(&console_closing, 1);
    Sleep(INFINITE);
  }
  // The second one ends the tool at once. Not by ExitProcess: from this
  // thread it could wait for a lock that the main thread holds.
  if (second)
    TerminateProcess(GetCurrentProcess(), static_cast<UINT>(STATUS_CONTROL_C_EXIT));
  return TRUE;
}

const std::vector<std::string> &command_words() {
  // The runtime's own argv goes through the code page and may expand
  // wildcards; the tool reads the wide line and splits it itself.
  static const std::vector<std::string> words = [] {
    const wchar_t *line = GetCommandLineW();
    return split_command_line(from_wide(line, wcslen(line)));
  }();
  return words;
}

}  // namespace

extern const path_syntax PLATFORM_PATHS = WIN32_PATHS;
extern const bool PLATFORM_NAMES_DIFFER_BY_CASE = false;

const file_ops &platform_file_ops() {
  static const file_ops ops = {win32_query, win32_open,           win32_write_at,
                               win32_close, win32_list_directory, win32_stat_directory};
  return ops;
}

// Handles that were closed are never handed out again as standard ones.
void platform_claim_standard_streams() {}

// A write refused by a limit fails as such; only the interrupts need a handler.
// Where Ctrl+C was ignored when the tool started, the system never calls it for one.
void platform_catch_signals() { SetConsoleCtrlHandler(on_console_event, TRUE); }

bool platform_interrupted() { return InterlockedCompareExchange(&interrupted, 0, 0) != 0; }

void platform_end_interrupted() { ExitProcess(static_cast<UINT>(STATUS_CONTROL_C_EXIT)); }

// A console takes UTF-16. A pipe, where a console is attached, leads to a
// console program (more, find, PowerShell), which decodes with the console's
// output code page; a file, or a pipe with no console about, gets the ANSI
// code page, as Notepad and most programs read it.
output platform_stdout() {
  static redirection to = {GetStdHandle(STD_OUTPUT_HANDLE), CP_ACP};
  DWORD mode = 0;
  if (GetConsoleMode(to.handle, &mode) != 0)
    return make_output(console_sink, to.handle, true, true);
  UINT console_code_page = GetConsoleOutputCP();
  if (GetFileType(to.handle) == FILE_TYPE_PIPE && console_code_page != 0)
    to.code_page = console_code_page;
  output result = make_output(redirected_sink, &to, false, true);
  result.failed = to.handle == nullptr || to.handle == INVALID_HANDLE_VALUE;
  return result;
}

std::optional<file_id> platform_stdout_file() {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (GetFileType(out) != FILE_TYPE_DISK)
    return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandle(out, &info) != FALSE)
    return id_of(info);
  // A handle opened only to write may not read attributes, but its file's id
  // needs no right (Windows 8 and later): the low halves are the serial
  // number and index that an open map shows.
  FILE_ID_INFO ids{};
  if (GetFileInformationByHandleEx(out, FileIdInfo, &ids, sizeof ids) == FALSE)
    return std::nullopt;
  uint64_t index = 0;
  memcpy(&index, ids.FileId.Identifier, sizeof index);
  return file_id{ids.VolumeSerialNumber & 0xFFFFFFFF, index};
}

namespace {

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

// A key that types: a character, Enter, Escape, Space. Not a modifier, lock
// or function key, nor a shortcut held with Ctrl or Alt alone (Alt+Tab, Ctrl+A
// to copy the report), but for Ctrl+C; AltGr, Ctrl and Alt at once, types.
bool types(const KEY_EVENT_RECORD &key) {
  if (key.bKeyDown == FALSE || key.uChar.UnicodeChar == 0)
    return false;
  bool ctrl = (key.dwControlKeyState & (LEFT_CTRL_PRESSED | RIGHT_CTRL_PRESSED)) != 0;
  bool alt = (key.dwControlKeyState & (LEFT_ALT_PRESSED | RIGHT_ALT_PRESSED)) != 0;
  return ctrl == alt || (ctrl && key.wVirtualKeyCode == 'C');
}

}  // namespace

bool platform_console_is_own() {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  DWORD processes[2];
  return InterlockedCompareExchange(&console_closing, 0, 0) == 0 && GetConsoleMode(in, &mode) != 0 &&
         GetConsoleMode(out, &mode) != 0 && GetConsoleProcessList(processes, 2) == 1 && shown_at_start() &&
         on_visible_station() && !windowless_under_wine();
}

void platform_wait_for_key(int status, bool interrupted_run) {
  InterlockedExchange(&decided_exit, interrupted_run ? static_cast<LONG>(STATUS_CONTROL_C_EXIT) : status);
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
    if (record.EventType == KEY_EVENT && types(record.Event.KeyEvent))
      break;
  SetConsoleMode(in, mode);
}

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
      return from_wide(path.data(), n);
    path.resize(path.size() * 2);
  }
}
