// Win32 files: the query and the open, by the path rules of win32_paths.
#include "file_system.h"
#include "win32.h"
#include "win32_paths.h"

namespace {

enum class name_for_calls { file, device, invalid };

// The name as the wide calls take it, and whether it leads to a file; all
// is decided on the text alone, before any call that could open something.
// A name the system takes verbatim goes as given; another once its full
// path (the system's own reading of it) leads to a file too.
name_for_calls path_for_calls(std::string_view name, std::wstring *path) {
  std::u16string units;
  if (!utf16_from_wtf8(name, &units))
    return name_for_calls::invalid;
  if (kind_of_path(units) != name_kind::file)
    return name_for_calls::device;
  *path = as_wide(units);
  if (is_verbatim(units))
    return name_for_calls::file;
  DWORD size = GetFullPathNameW(path->c_str(), 0, nullptr, nullptr);
  std::wstring full(size, L'\0');
  DWORD n = size == 0 ? 0 : GetFullPathNameW(path->c_str(), size, &full[0], nullptr);
  if (n == 0 || n >= size)
    return name_for_calls::invalid;
  full.resize(n);
  if (kind_of_path(as_utf16(full)) != name_kind::file)
    return name_for_calls::device;
  *path = as_wide(call_path(units, as_utf16(full)));
  return name_for_calls::file;
}

// A handle travels through the seam as an opaque integer.
HANDLE as_handle(const open_file &file) {
  return reinterpret_cast<HANDLE>(file.handle);  // NOLINT(performance-no-int-to-ptr)
}

// A handle, closed once: by close(), which tells whether the system took
// it, or else as it goes out of scope.
class owned_handle {
public:
  explicit owned_handle(HANDLE handle) : handle_(handle) {}
  owned_handle(const owned_handle &) = delete;
  owned_handle &operator=(const owned_handle &) = delete;
  ~owned_handle() { close(); }
  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE release() {
    HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle;
  }
  bool close() { return !valid() || CloseHandle(release()) != FALSE; }

private:
  HANDLE handle_;
};

file_info win32_query(std::string_view name) {
  file_info info;
  std::wstring path;
  switch (path_for_calls(name, &path)) {
  case name_for_calls::invalid:
    return info;
  case name_for_calls::device:
    info.reached = reach::found;  // and no regular file: refused before anything opens it
    info.writable = true;
    return info;
  case name_for_calls::file:
    break;
  }
  DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES)
    return info;
  info.reached = reach::found;
  info.writable = (attributes & FILE_ATTRIBUTE_READONLY) == 0;
  info.regular_file = (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
  return info;
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
  *name = from_wide(std::wstring_view(path.data(), n));
  return true;
}

// The file is first opened only to read its attributes and its own name: a
// device, a directory or a read-only file never gets a handle that can write.
// The same file is then opened again for writing. The system follows links
// here, and the file's own name tells where they led.
bool win32_open(std::string_view name, int, open_file *file) {
  std::wstring path;
  if (path_for_calls(name, &path) != name_for_calls::file)
    return false;
  const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE;
  owned_handle seen(
      CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  std::string own_name;
  if (!seen.valid() || GetFileType(seen.get()) != FILE_TYPE_DISK ||
      GetFileInformationByHandle(seen.get(), &info) == FALSE ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !final_name(seen.get(), &own_name))
    return false;
  bool writable = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) == 0;
  owned_handle handle(writable ? ReOpenFile(seen.get(), GENERIC_WRITE, share, 0) : seen.release());
  if (!handle.valid())
    return false;
  *file = {reinterpret_cast<intptr_t>(handle.release()), writable, std::move(own_name), id_of(info)};
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

bool win32_close(const open_file &file) { return owned_handle(as_handle(file)).close(); }

// Names here compare without regard to case, so no folder is ever listed.
reach win32_stat_directory(std::string_view, dir_status *) { return reach::none; }
bool win32_list_directory(std::string_view, std::vector<std::string> *) { return false; }

}  // namespace

file_system platform_file_system() {
  static const file_ops ops = {win32_query, win32_open,           win32_write_at,
                               win32_close, win32_stat_directory, win32_list_directory};
  return {ops, path_syntax::win32, /* names_differ_by_case */ false, std::nullopt, {}};
}
