// The files as the tool reaches them: what a query tells of a name, an open
// file, folder listings, and the run's view of them all. Each platform gives
// its calls (files-posix.cc, files-win32.cc); the tests give a fake.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "map_name.h"

// Which file an entry is, however it was reached: device and inode (POSIX),
// volume serial number and file index (Win32).
struct file_id {
  uint64_t volume;
  uint64_t index;
  bool volume_known = true;
};

// Where a volume cannot be told, the index alone decides: a false match can
// only refuse a map, never let another file through.
inline bool same_file(const file_id &a, const file_id &b) {
  return a.index == b.index && (a.volume == b.volume || !a.volume_known || !b.volume_known);
}

// How far a name got.
enum class reach {
  none,      // nothing there
  blocked,   // a folder on the way may not be searched
  dead_end,  // the entry is there but leads nowhere: a link to nothing or in a loop
  found,
};

// What one query tells of the entry a name leads to.
struct file_info {
  reach reached = reach::none;
  bool writable = false;      // no read-only mark, and the user may write it
  bool regular_file = false;  // a directory, FIFO or device is never opened
  // Where a last link leads, as its last hop names it; empty where the name
  // is no link. The file it leads to is judged by this name.
  std::string link_target;
  int links = 0;  // the last links followed, one per hop
};

// A time as the system keeps it, without overflow for any date it holds.
struct file_time {
  int64_t seconds;
  int64_t nanoseconds;
};

// What tells that a folder changed: a new entry or a removed one changes its
// modification and change times, a replaced folder its identity.
struct dir_status {
  file_id id;
  file_time modified;
  file_time changed;
};

// An open file, and what the system tells of the file itself.
struct open_file {
  intptr_t handle;
  bool writable;  // the file's own read-only mark is clear
  // The file's own name, where the open found it under another: after a
  // link it followed, or an alias that the system resolved. Empty where it
  // is the name the file was opened by.
  std::string own_name;
  file_id id;
};

// How a write at an offset went. The system refuses the offset itself only
// where the handle cannot take one (a pipe, say).
enum class write_outcome { written, bad_offset, failed };

// The calls of one patch and of a lookup, as a plain table.
struct file_ops {
  file_info (*query)(std::string_view path);
  // Opens for writing the existing regular file that path leads to through
  // exactly `links` last links, each followed hop by hop as query follows
  // them, never by the open itself: a link swapped in meanwhile is never
  // followed. Never creates or truncates a file, never opens a device or FIFO.
  bool (*open)(std::string_view path, int links, open_file *file);
  // Writes all size bytes at offset; a short write has failed.
  write_outcome (*write_at)(const open_file &file, uint64_t offset, const void *data, size_t size);
  bool (*close)(const open_file &file);
  // A folder, following links; found only where it is one.
  reach (*stat_directory)(std::string_view path, dir_status *status);
  // The names in a folder; false where the listing failed, part way included.
  bool (*list_directory)(std::string_view path, std::vector<std::string> *names);
};

// One folder as it was listed, its names in order of their upper case.
struct directory_index {
  dir_status status;
  std::vector<std::string> names;
};

// The run's view of the file system: its calls, how it writes paths, whether
// names that differ only in letter case are different files there, the file
// the report goes to (never patched), and the folders listed so far, each
// serving every later name for as long as its status is unchanged.
struct file_system {
  const file_ops &ops;
  path_syntax paths;
  bool names_differ_by_case;
  std::optional<file_id> report_file;
  std::map<std::string, directory_index> listings;
};

// This platform's files, with no report file and nothing listed yet.
file_system platform_file_system();
