// An in-memory file system behind the platform seam. Each entry says what
// the system would tell of it, and any one call can be made to fail.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "file_system.h"

// The one vocabulary of faults: the call that fails, or how.
enum class fault { none, query, open, bad_offset, write, close, listing };

struct fake_entry {
  std::string data;
  bool read_only = false;
  bool regular_file = true;
  // What the system tells beyond the path, where it differs: where a query
  // says a last link leads, the own name an open reports (a link or short
  // name), and an opened file's read-only mark (a file swapped in between).
  std::string link_target;
  std::string own_name;
  bool opens_read_only = false;
  bool leads_nowhere = false;  // a link to nothing: the entry is there, what it leads to is not
};

struct fake_fs {
  std::map<std::string, fake_entry> files;  // by path; directories are implied by paths
  bool names_differ_by_case = true;
  fault failing = fault::none;
  int queries = 0;
  int opens = 0;
  int closes = 0;
  std::vector<std::string> listed;  // directories read, in order
  std::string interrupt_at;         // an interrupt comes while this file is written
  std::string report_to;            // the file the report goes to
  std::string unsearchable;         // a folder that may be listed but not searched
  bool coarse_clock = false;        // a directory's times never show a change
  bool mtime_restored = false;      // only a directory's change time shows a change, as after tar sets it back
  bool interrupted = false;
};

// The one fake the tests act on; reset between tests.
fake_fs &fake();
void reset_fake();
// A fresh run's view of the fake: POSIX paths where names differ by case, as on
// POSIX; Win32 paths where they do not, as on Win32.
file_system fake_file_system();
