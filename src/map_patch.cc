#include "map_patch.h"

namespace {

// A file's own name may be in any letter case.
bool is_map_file_name(const std::string &name, const path_syntax &paths) {
  return is_map_name(upper_case(name), paths);
}

bool is_report_file(const file_id &id, const file_system &fs) {
  return fs.report_file && same_file(*fs.report_file, id);
}

patch_result write_patch(const file_system &fs, const open_file &file) {
  // What was opened decides, not what was queried before: an entry swapped
  // in between must not bring in another file or a protected one. Nor is
  // the report's own file ever patched, whatever its name.
  if (!is_map_file_name(file.name, fs.paths) || is_report_file(file.id, fs))
    return patch_result::open_failed;
  if (!file.writable)
    return patch_result::not_writable;
  switch (fs.ops.write_at(file, PATCH_OFFSET, &PATCH_BYTE, 1)) {
  case write_outcome::written:
    return patch_result::patched;
  case write_outcome::bad_offset:
    return patch_result::seek_failed;
  case write_outcome::failed:
    break;
  }
  return patch_result::write_failed;
}

}  // namespace

patch_result patch_map(const std::string &working_name, const std::string &typed_name, const file_system &fs,
                       lookup_cache &cache) {
  file_info info{};
  if (!find_file(typed_name, working_name, fs, cache, &info))
    return patch_result::not_found;
  // A link to a file that is no map is refused before anything is asked of
  // that file, so the verdict is the same whoever runs the tool.
  if (!is_map_file_name(info.target, fs.paths))
    return patch_result::open_failed;
  if (!info.writable)
    return patch_result::not_writable;
  // A directory, FIFO or device is refused before it is opened: opening one
  // can block or have effects.
  open_file file{};
  if (!info.regular_file || !fs.ops.open(info.target, &file))
    return patch_result::open_failed;
  patch_result result = write_patch(fs, file);
  // A failing close after the write means the byte may not have reached the file.
  if (!fs.ops.close(file) && result == patch_result::patched)
    result = patch_result::write_failed;
  return result;
}
