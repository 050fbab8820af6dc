// Win32 side of the platform seam: the reference platform. Names arrive as
// UTF-16 and travel through the tool as WTF-8; only the wide calls are used,
// so no name ever passes through a code page on its way to a file.
#include <windows.h>

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

bool starts_with(const std::wstring &text, std::wstring_view prefix) {
  return text.compare(0, prefix.size(), prefix) == 0;
}

constexpr std::wstring_view VERBATIM = L"\\\\?\\";
constexpr std::wstring_view DEVICE = L"\\\\.\\";

bool is_ascii_letter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

// After \\?\ or \\.\ a file's path goes on with a drive ("C:\") or a share
// ("UNC\"). Anything else there (COM1, pipe\..., a bare volume "C:") is one
// of the system's devices.
bool is_file_after_prefix(std::wstring_view path) {
  std::wstring_view rest = path.substr(VERBATIM.size());
  bool drive = rest.size() >= 3 && is_ascii_letter(rest[0]) && rest[1] == L':' && rest[2] == L'\\';
  return drive || (rest.size() >= 4 && _wcsnicmp(rest.data(), L"UNC\\", 4) == 0);
}

enum class name_kind { file, device, invalid };

// The name as the wide calls take it, and whether the system reads it as a
// device: CON, NUL.BSP, COM1.BSP and the like, in any folder, or a path in
// the device space. One that starts with \\?\ or \\.\ goes as given; so does
// one that is shorter than MAX_PATH, as its full path is. Otherwise the full
// path goes, in the \\?\ form where it is that long.
name_kind system_path(const std::string &name, std::wstring *path) {
  if (!to_wide(name, path))
    return name_kind::invalid;
  if (starts_with(*path, VERBATIM) || starts_with(*path, DEVICE))
    return is_file_after_prefix(*path) ? name_kind::file : name_kind::device;
  DWORD size = GetFullPathNameW(path->c_str(), 0, nullptr, nullptr);
  std::wstring full(size, L'\0');
  DWORD n = size == 0 ? 0 : GetFullPathNameW(path->c_str(), size, &full[0], nullptr);
  if (n == 0 || n >= size)
    return name_kind::invalid;
  full.resize(n);
  if (starts_with(full, DEVICE))
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
// Wine tells no final path of MAX_PATH characters or more; there the name the
// file system gives the open file serves.
bool final_name(HANDLE file, std::string *name) {
  std::wstring path(MAX_PATH, L'\0');
  const DWORD flags = FILE_NAME_NORMALIZED | VOLUME_NAME_NONE;
  DWORD n = GetFinalPathNameByHandleW(file, &path[0], static_cast<DWORD>(path.size()), flags);
  if (n >= path.size()) {
    path.resize(n);
    n = GetFinalPathNameByHandleW(file, &path[0], static_cast<DWORD>(path.size()), flags);
  }
  if (n > 0 && n < path.size()) {
    *name = from_wide(path.data(), n);
    return true;
  }
  std::vector<char> buffer(sizeof(FILE_NAME_INFO) + 32768 * sizeof(wchar_t));
  auto *info = reinterpret_cast<FILE_NAME_INFO *>(buffer.data());
  if (GetFileInformationByHandleEx(file, FileNameInfo, info, static_cast<DWORD>(buffer.size())) == FALSE)
    return false;
  *name = from_wide(info->FileName, info->FileNameLength / sizeof(wchar_t));
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

BOOL WINAPI on_console_event(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
    return FALSE;
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

bool platform_stdout_file(file_id *id) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  if (GetFileType(out) != FILE_TYPE_DISK)
    return false;
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandle(out, &info) != FALSE) {
    *id = id_of(info);
    return true;
  }
  // A handle opened only to write may not read attributes, but its file's id
  // needs no right (Windows 8 and later): the low halves are the serial
  // number and index that an open map shows.
  FILE_ID_INFO ids{};
  if (GetFileInformationByHandleEx(out, FileIdInfo, &ids, sizeof ids) == FALSE)
    return false;
  uint64_t index = 0;
  memcpy(&index, ids.FileId.Identifier, sizeof index);
  *id = {ids.VolumeSerialNumber & 0xFFFFFFFF, index};
  return true;
}

bool platform_console_is_own() {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  DWORD processes[2];
  if (InterlockedCompareExchange(&console_closing, 0, 0) != 0 || GetConsoleMode(in, &mode) == 0 ||
      GetConsoleMode(out, &mode) == 0 || GetConsoleProcessList(processes, 2) != 1)
    return false;
  // Only now, where it decides, is the window library loaded: a run from a
  // shell costs nothing of it.
  HWND window = GetConsoleWindow();
  HMODULE user32 = window != nullptr ? LoadLibraryW(L"user32.dll") : nullptr;
  FARPROC is_window_visible = user32 != nullptr ? GetProcAddress(user32, "IsWindowVisible") : nullptr;
  return is_window_visible != nullptr &&
         reinterpret_cast<BOOL(WINAPI *)(HWND)>(reinterpret_cast<void *>(is_window_visible))(window) != FALSE;
}

void platform_wait_for_key() {
  HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  GetConsoleMode(in, &mode);
  // Ctrl+C is a key here too.
  SetConsoleMode(in, mode & ~static_cast<DWORD>(ENABLE_PROCESSED_INPUT));
  FlushConsoleInputBuffer(in);
  INPUT_RECORD record{};
  DWORD count = 0;
  while (ReadConsoleInputW(in, &record, 1, &count) != FALSE && count == 1)
    if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown != FALSE)
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
