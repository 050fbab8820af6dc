// Win32 side of the platform seam: the reference platform. Names arrive as
// UTF-16 and travel through the tool as WTF-8; only the wide calls are used,
// so no name ever passes through a code page on its way to a file.
#include <windows.h>

#include "command_line.h"
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

// The name as the wide calls take it. One that starts with \\?\ or \\.\ goes
// as given; so does one that is shorter than MAX_PATH, as its full path is.
// Otherwise the full path goes, in the \\?\ form where it is that long,
// unless the system reads the name as a device (CON, NUL, ... anywhere): a
// device stays a device.
bool call_path(const std::string &name, std::wstring *path) {
  if (!to_wide(name, path))
    return false;
  if (starts_with(*path, VERBATIM) || starts_with(*path, DEVICE))
    return true;
  DWORD size = GetFullPathNameW(path->c_str(), 0, nullptr, nullptr);
  std::wstring full(size, L'\0');
  DWORD n = size == 0 ? 0 : GetFullPathNameW(path->c_str(), size, &full[0], nullptr);
  if (n == 0 || n >= size || (path->size() < MAX_PATH && n < MAX_PATH))
    return true;
  full.resize(n);
  if (n < MAX_PATH || starts_with(full, DEVICE) || starts_with(full, VERBATIM))
    *path = full;
  else if (starts_with(full, L"\\\\"))
    path->assign(VERBATIM).append(L"UNC\\").append(full, 2);
  else
    path->assign(VERBATIM).append(full);
  return true;
}

// A handle travels through the seam as an opaque integer.
HANDLE as_handle(const open_file &handle) {
  return reinterpret_cast<HANDLE>(handle.value);  // NOLINT(performance-no-int-to-ptr)
}

file_info win32_query(const std::string &name) {
  std::wstring path;
  DWORD attributes = call_path(name, &path) ? GetFileAttributesW(path.c_str()) : INVALID_FILE_ATTRIBUTES;
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return {false, false, false};
  bool writable = (attributes & FILE_ATTRIBUTE_READONLY) == 0;
  bool disk_file = (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
  return {true, writable, disk_file};
}

bool win32_close(open_file handle) { return CloseHandle(as_handle(handle)) != 0; }

bool win32_open(const std::string &name, open_file *handle) {
  std::wstring path;
  if (!call_path(name, &path))
    return false;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE)
    return false;
  // CON.BSP, NUL.BSP, COM1.BSP and the like open a device, not a map.
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    return false;
  }
  *handle = {reinterpret_cast<intptr_t>(file), 0};
  return true;
}

bool win32_seek(open_file *handle, uint64_t offset) {
  LONG high = static_cast<LONG>(offset >> 32);
  DWORD low = SetFilePointer(as_handle(*handle), static_cast<LONG>(offset & 0xFFFFFFFFu), &high, FILE_BEGIN);
  return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

bool win32_write(open_file *handle, const void *data, size_t size, size_t *written) {
  DWORD count = 0;
  if (WriteFile(as_handle(*handle), data, static_cast<DWORD>(size), &count, nullptr) == FALSE)
    return false;
  *written = count;
  return true;
}

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

// A file or pipe gets the ANSI code page, as programs there expect: "?" for
// each character it lacks, never a look-alike that would name another file.
bool file_sink(void *context, const char *data, size_t size) {
  std::wstring text;
  to_wide(std::string_view(data, size), &text);
  if (text.empty())
    return true;
  int length = static_cast<int>(text.size());
  DWORD flags = WC_NO_BEST_FIT_CHARS;
  const char *unknown = "?";
  int bytes = WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, unknown, nullptr);
  if (bytes == 0) {
    // Code pages such as UTF-8 take neither flags nor a default character.
    flags = 0;
    unknown = nullptr;
    bytes = WideCharToMultiByte(CP_ACP, flags, text.data(), length, nullptr, 0, unknown, nullptr);
  }
  std::string encoded(static_cast<size_t>(bytes), '\0');
  if (bytes == 0 ||
      WideCharToMultiByte(CP_ACP, flags, text.data(), length, &encoded[0], bytes, unknown, nullptr) != bytes)
    return false;
  return write_all(static_cast<HANDLE>(context), encoded.data(), encoded.size());
}

volatile LONG interrupted = 0;

BOOL WINAPI on_console_event(DWORD event) {
  if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT)
    return FALSE;
  if (InterlockedExchange(&interrupted, 1) != 0)
    platform_end_interrupted();  // the second one ends the tool at once
  // A closing console ends the process as soon as this returns: wait here
  // until the main thread has written out the report and ended it.
  if (event == CTRL_CLOSE_EVENT)
    Sleep(INFINITE);
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

const file_ops &platform_file_ops() {
  // Win32 names compare without regard to case, so no directory is ever listed.
  static const file_ops ops = {win32_query, win32_open, win32_seek, win32_write,
                               win32_close, nullptr,    nullptr,    WIN32_PATHS};
  return ops;
}

// A write refused by a limit fails as such; only the interrupts need a handler.
// Where Ctrl+C was ignored when the tool started, the system never calls it for one.
void platform_catch_signals() { SetConsoleCtrlHandler(on_console_event, TRUE); }

bool platform_interrupted() { return InterlockedCompareExchange(&interrupted, 0, 0) != 0; }

void platform_end_interrupted() { ExitProcess(static_cast<UINT>(STATUS_CONTROL_C_EXIT)); }

output platform_stdout() {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  bool console = GetConsoleMode(out, &mode) != 0;
  output result = make_output(console ? console_sink : file_sink, out, console, true);
  if (out == nullptr || out == INVALID_HANDLE_VALUE)
    result.failed = true;
  return result;
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
