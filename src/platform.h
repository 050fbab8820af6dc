// The one seam between the tool and its operating system. Everything that
// differs between POSIX and Win32 sits behind these declarations; each
// platform file (platform-posix.cc, platform-win32.cc) defines all of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "output.h"

struct path_syntax;

// How this platform writes paths.
extern const path_syntax PLATFORM_PATHS;
// Whether names that differ only in letter case name different files here.
// Where they do, a name is also looked up without regard to case.
extern const bool PLATFORM_NAMES_DIFFER_BY_CASE;

// What one query tells about the entry a path reaches.
struct file_info {
  bool exists;
  bool writable;      // carries no read-only mark, and the user may write it
  bool regular_file;  // a directory, FIFO or device is never opened
  // Where the entry itself stands: where a last link leads, where the system
  // tells it before an open (POSIX); else the path as given.
  std::string target;
  // The name's own entry is there, though it may lead nowhere (a link to
  // nothing, in a loop, or into a folder that may not be searched).
  bool entry_exists;
};

// Which file an entry is, however it was reached: device and inode (POSIX),
// volume serial number and file index (Win32).
struct file_id {
  uint64_t volume;
  uint64_t index;
};

inline bool same_file(const file_id &a, const file_id &b) { return a.volume == b.volume && a.index == b.index; }

// A time as the system keeps it, without overflow for any date it holds.
struct file_time {
  int64_t seconds;
  int64_t nanoseconds;
};

// What tells that a directory changed: a new entry or a removed one changes
// its modification and change times, a replaced directory its identity.
struct dir_status {
  file_id id;
  file_time modified;
  file_time changed;
};

// An open file, and what the system tells of the file itself.
struct open_file {
  intptr_t handle;
  bool writable;  // the file's own read-only mark is clear
  // The file's own name, after every link and alias the system resolved.
  std::string name;
  file_id id;
};

// How a write at an offset went. The system refuses the offset itself only
// where the handle cannot take one (a pipe, say).
enum class write_outcome { written, bad_offset, failed };

// The file operations of one patch, as a plain table so tests can swap in a fake.
struct file_ops {
  file_info (*query)(const std::string &path);
  // Opens an existing regular file for writing: never creates or truncates
  // it, never follows a last link (POSIX), never opens a device (Win32).
  bool (*open)(const std::string &path, open_file *file);
  // Writes all size bytes at offset; a short write has failed.
  write_outcome (*write_at)(const open_file &file, uint64_t offset, const void *data, size_t size);
  bool (*close)(const open_file &file);
  // The names in a directory; false where the listing failed, part way included.
  bool (*list_directory)(const std::string &path, std::vector<std::string> *names);
  bool (*stat_directory)(const std::string &path, dir_status *status);
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

// Where standard input, output or error was closed at start, the root
// directory takes its place, opened to read: no map opened later can become
// the report, and a report written there fails as it would have.
void platform_claim_standard_streams();

// Standard output, set up for the console or a redirection.
output platform_stdout();
// The file that standard output writes to, where it is one the system can tell.
std::optional<file_id> platform_stdout_file();

// True where the console is the tool's own and a person sees it: made for
// it alone (drag and drop, a double-click, a shortcut), started neither
// hidden nor minimized, on a window station that is shown, and both standard
// input and output. It closes as the tool ends, so the report is kept on
// screen until a key. Never where the console is shared, hidden or closing,
// for a service or an unattended task, or where a stream is redirected.
bool platform_console_is_own();
// Waits for a key that types. The run is over, with status or interrupted: a
// Ctrl+C, Ctrl+Break or closing window meanwhile ends the process so at once.
void platform_wait_for_key(int status, bool interrupted);

// The file arguments, without the program's own word. They stay valid until the process ends.
std::vector<std::string_view> platform_file_arguments(int argc, char **argv);

// Full path of the running executable; typed where the system offers nothing better.
std::string platform_program_path(const char *typed);
