// An in-memory file system behind the platform seam, with a switch to make
// each call fail and a count of opens and closes.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform.h"

struct fake_entry {
  std::string data;
  bool read_only = false;
  bool disk_file = true;
};

struct fake_faults {
  bool query = false;  // the attribute query finds nothing
  bool open = false;
  bool seek = false;
  bool write = false;        // the write reports an error
  bool short_write = false;  // the write succeeds with 0 bytes
  bool close = false;
};

struct fake_fs {
  std::map<std::string, fake_entry> files;  // by path; directories are implied by paths
  fake_faults faults;
  int opens = 0;
  int closes = 0;
  std::vector<std::string> listed;  // directories read, in order
  std::string interrupt_at;         // an interrupt comes while this file is written
  bool coarse_clock = false;        // a directory's status never shows a change
  bool interrupted = false;
};

// The one fake the tables below act on; reset between tests.
fake_fs &fake();
void reset_fake();
// Names compare by case, with directory listing, as on POSIX.
const file_ops &fake_ops();
// Names compare without regard to case and nothing is listed, as on Win32.
const file_ops &fake_ops_ignoring_case();
