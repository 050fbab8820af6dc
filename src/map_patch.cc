#include "map_patch.h"

namespace {

patch_result write_patch(const file_ops &fs, open_file *handle) {
  if (!fs.seek(handle, PATCH_OFFSET))
    return patch_result::seek_failed;
  size_t written = 0;
  // Anything but the one byte may have left the file unpatched.
  if (!fs.write(handle, &PATCH_BYTE, 1, &written) || written != 1)
    return patch_result::write_failed;
  return patch_result::patched;
}

}  // namespace

patch_result patch_map(const std::string &working_name, const std::string &typed_name, const file_ops &fs,
                       lookup_cache &cache) {
  std::string path;
  file_info info{};
  if (!find_file(typed_name, working_name, fs, cache, &path, &info))
    return patch_result::not_found;
  if (!info.writable)
    return patch_result::not_writable;
  // A directory, FIFO or device is refused before it is opened: opening one can block or have effects.
  open_file handle{};
  if (!info.disk_file || !fs.open(path, &handle))
    return patch_result::open_failed;
  patch_result result = write_patch(fs, &handle);
  // A failing close after the write means the byte may not have reached the file.
  if (!fs.close(handle) && result == patch_result::patched)
    result = patch_result::write_failed;
  return result;
}
