// Win32 report output: a console takes UTF-16; a file or a pipe the code
// page of whoever reads it.
#include <algorithm>
#include <cstring>

#include "process.h"
#include "win32.h"

namespace {

// A write call of the system: WriteFile counts bytes, WriteConsoleW characters.
using write_call = BOOL (*)(HANDLE out, const void *data, DWORD count, DWORD *written);

BOOL write_file(HANDLE out, const void *data, DWORD count, DWORD *written) {
  return WriteFile(out, data, count, written, nullptr);
}
BOOL write_console(HANDLE out, const void *data, DWORD count, DWORD *written) {
  return WriteConsoleW(out, data, count, written, nullptr);
}

// Writes all count units of unit bytes each, in chunks that a console takes
// too, never splitting a character of UTF-16 between two of them. A write
// that takes nothing has failed.
bool write_all(HANDLE out, const char *data, size_t count, size_t unit, write_call write) {
  const size_t CHUNK = 8192;  // consoles refuse very long writes
  while (count > 0) {
    size_t n = std::min(count, CHUNK);
    wchar_t last = 0;
    if (unit == sizeof last && n < count)
      memcpy(&last, data + (n - 1) * unit, sizeof last);
    n -= IS_HIGH_SURROGATE(last) ? 1 : 0;
    DWORD written = 0;
    report_write_begins();
    BOOL wrote = write(out, data, static_cast<DWORD>(n), &written);
    report_write_ends();
    if (wrote == FALSE || written == 0)
      return false;
    data += written * unit;
    count -= written;
  }
  return true;
}

// A console shows every name as typed, whatever the code page.
bool console_sink(void *context, const char *data, size_t size) {
  std::wstring text;
  to_wide(std::string_view(data, size), &text);
  return write_all(static_cast<HANDLE>(context), reinterpret_cast<const char *>(text.data()), text.size(),
                   sizeof(wchar_t), write_console);
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
  return write_all(to.handle, encoded.data(), encoded.size(), 1, write_file);
}

}  // namespace

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
  // number and index that an open map shows. Where the volume is not told
  // (Wine, for a handle made from a Unix descriptor), the index alone decides.
  FILE_ID_INFO ids{};
  if (GetFileInformationByHandleEx(out, FileIdInfo, &ids, sizeof ids) == FALSE)
    return std::nullopt;
  uint64_t index = 0;
  memcpy(&index, ids.FileId.Identifier, sizeof index);
  return file_id{ids.VolumeSerialNumber & 0xFFFFFFFF, index, ids.VolumeSerialNumber != 0};
}
