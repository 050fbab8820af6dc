#include "map_patch.h"

#include "map_lookup.h"

namespace {

// A name the system told of a file is judged as the argument was. The
// argument's own names were judged before: a file found by one of them, in
// any letter case, has a map's name.
bool is_map_or_untold(const std::string &told_name, const file_system &fs) {
  return told_name.empty() || is_map_file_name(told_name, fs.paths);
}

patch_result write_patch(const file_system &fs, const open_file &file) {
  // What was opened decides, not what was queried before: an entry swapped
  // in between must not bring in another file or a protected one. Nor is
  // the report's own file ever patched, whatever its name.
  if (!is_map_or_untold(file.own_name, fs) || (fs.report_file && same_file(*fs.report_file, file.id)))
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

patch_result patch_map(const map_names &names, file_system &fs) {
  found_file found;
  if (!find_file(names, fs, &found))
    return patch_result::not_found;
  // A link to a file that is no map is refused before anything is asked of
  // that file, so the verdict is the same whoever runs the tool.
  if (!is_map_or_untold(found.info.link_target, fs))
    return patch_result::open_failed;
  if (!found.info.writable)
    return patch_result::not_writable;
  // A directory, FIFO or device is refused before it is opened: opening one
  // can block or have effects.
  open_file file{};
  if (!found.info.regular_file || !fs.ops.open(found.path, found.info.links, &file))
    return patch_result::open_failed;
  patch_result result = write_patch(fs, file);
  // A failing close after the write means the byte may not have reached the file.
  if (!fs.ops.close(file) && result == patch_result::patched)
    result = patch_result::write_failed;
  return result;
}
