// Win32 side of the platform seam: the reference platform.
#include <windows.h>

#include "command_line.h"
#include "platform.h"

namespace {

// A handle travels through the seam as an opaque integer.
HANDLE as_handle(const open_file &handle) {
  return reinterpret_cast<HANDLE>(handle.value);  // NOLINT(performance-no-int-to-ptr)
}

// The ANSI calls stop at MAX_PATH, counted on the full path; a longer name
// reaches its file only through the wide calls, with the \\?\ prefix.
bool is_long(const std::string &path) {
  return path.size() >= MAX_PATH || GetFullPathNameA(path.c_str(), 0, nullptr, nullptr) >= MAX_PATH;
}

std::wstring long_form(const std::string &path) {
  int size = MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(size > 0 ? size : 1), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &wide[0], size);
  DWORD full_size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  std::wstring full(full_size, L'\0');
  DWORD n = GetFullPathNameW(wide.c_str(), full_size, &full[0], nullptr);
  if (n == 0 || n >= full_size)
    return std::wstring();
  full.resize(n);
  if (full.compare(0, 2, L"\\\\") == 0)
    return L"\\\\?\\UNC" + full.substr(1);
  return L"\\\\?\\" + full;
}

file_info win32_query(const std::string &path) {
  DWORD attributes = is_long(path) ? GetFileAttributesW(long_form(path).c_str()) : GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return {false, false, false};
  bool writable = (attributes & FILE_ATTRIBUTE_READONLY) == 0;
  bool disk_file = (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
  return {true, writable, disk_file};
}

bool win32_close(open_file handle) { return CloseHandle(as_handle(handle)) != 0; }

bool win32_open(const std::string &path, open_file *handle) {
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  HANDLE file = is_long(path) ? CreateFileW(long_form(path).c_str(), GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr)
                              : CreateFileA(path.c_str(), GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
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

bool stdout_sink(void *context, const char *data, size_t size) {
  HANDLE out = static_cast<HANDLE>(context);
  while (size > 0) {
    DWORD count = 0;
    if (WriteFile(out, data, static_cast<DWORD>(size), &count, nullptr) == FALSE || count == 0)
      return false;
    data += count;
    size -= count;
  }
  return true;
}

}  // namespace

const file_ops &platform_file_ops() {
  // Win32 names compare without regard to case, so no directory is ever listed.
  static const file_ops ops = {win32_query, win32_open, win32_seek, win32_write, win32_close, nullptr, WIN32_PATHS};
  return ops;
}

output platform_stdout() {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0;
  output result = make_output(stdout_sink, out, GetConsoleMode(out, &mode) != 0, true);
  if (out == nullptr || out == INVALID_HANDLE_VALUE)
    result.failed = true;
  return result;
}

std::vector<std::string_view> platform_file_arguments(int, char **) {
  // The runtime's own argv may expand wildcards; the tool splits the line itself.
  static const std::vector<std::string> words = split_command_line(GetCommandLineA());
  std::vector<std::string_view> files(words.begin(), words.end());
  if (!files.empty())
    files.erase(files.begin());
  return files;
}

std::string platform_program_path(const char *typed) {
  std::string path(MAX_PATH, '\0');
  for (;;) {
    DWORD n = GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
    if (n == 0)
      return typed;
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}
