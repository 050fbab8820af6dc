// The one seam between the tool and its operating system. Everything that
// differs between POSIX and Win32 sits behind these declarations; each
// platform file (platform-posix.cc, platform-win32.cc) defines all of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "map_name.h"
#include "output.h"

// What one attribute query tells about an entry.
struct file_info {
  bool exists;
  bool writable;   // not marked read-only, and the user may write it
  bool disk_file;  // a regular file (after links); anything else is never opened
};

// What tells that a directory changed: a new entry or a removed one changes
// its modification and change times, a replaced directory its identity.
struct dir_status {
  uint64_t device;
  uint64_t inode;
  int64_t modified_ns;
  int64_t changed_ns;
};

// An open file. The position lives here so that the write can land in one call.
struct open_file {
  intptr_t value;
  uint64_t position;
};

// The file operations of one patch, as a plain table so tests can swap in a fake.
struct file_ops {
  file_info (*query)(const std::string &path);
  // Opens an existing disk file for writing; never creates or truncates.
  bool (*open)(const std::string &path, open_file *handle);
  bool (*seek)(open_file *handle, uint64_t offset);
  // True when the call succeeded; *written tells how much of it reached the file.
  bool (*write)(open_file *handle, const void *data, size_t size, size_t *written);
  bool (*close)(open_file handle);
  // Names in one directory, for the lookup without regard to case. Null where
  // the file system already compares names without regard to case.
  bool (*list_directory)(const std::string &path, std::vector<std::string> *names);
  // Null together with list_directory.
  bool (*stat_directory)(const std::string &path, dir_status *status);
  // How names on this file system separate their components.
  path_syntax paths;
};

const file_ops &platform_file_ops();

// A reader that quit and a file-size limit end nothing: the write fails and
// is reported. An interrupt (SIGINT, SIGTERM, SIGHUP; Ctrl+C, Ctrl+Break, the
// console closing) is only noted, so that the batch can stop between two
// arguments; a second one ends the process at once. One that was ignored
// when the tool started stays ignored.
void platform_catch_signals();
bool platform_interrupted();
// Ends the process as the interrupt that came would have ended it.
[[noreturn]] void platform_end_interrupted();

// Standard output, set up for the console or a redirection.
output platform_stdout();

// The file arguments, without the program's own word. They stay valid until the process ends.
std::vector<std::string_view> platform_file_arguments(int argc, char **argv);

// Full path of the running executable; typed where the system offers nothing better.
std::string platform_program_path(const char *typed);
