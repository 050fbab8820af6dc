// Finding the file a working name stands for, on file systems that
// distinguish letter case as well as on those that do not.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "map_name.h"
#include "platform.h"

// A file system as the tool uses it: its operations, how it writes paths, and
// whether names that differ only in letter case are different files there.
struct file_system {
  const file_ops &ops;
  const path_syntax &paths;
  bool names_differ_by_case;
  // The file the report goes to, where it is one: it is never patched.
  std::optional<file_id> report_file;
};

// One directory as it was listed, its names in order of their upper case.
struct directory_index {
  dir_status status;
  std::vector<std::string> names;
};

// The directories a run has listed, by path. An index serves every later name
// in its directory for as long as the directory's status is unchanged.
struct lookup_cache {
  std::map<std::string, directory_index> directories;
};

// The typed name is tried, then the working name: where names ignore case,
// either finds the file, and a folder that tells case apart (Windows can
// have them) finds exactly the file typed. Where names differ by case, a
// match without regard to case comes next, component by component. A
// component that matches more than one entry, none exactly, finds nothing;
// so does a directory that cannot be listed. A link that leads nowhere is
// not found, and costs what a missing name costs.
// typed and working come from one argument (make_typed_name and
// make_working_name). *info is the query of the name found.
bool find_file(const std::string &typed, const std::string &working, const file_system &fs, lookup_cache &cache,
               file_info *info);
