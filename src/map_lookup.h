// Finding the file a working name stands for, on file systems that
// distinguish letter case as well as on those that do not.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform.h"

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

// Tries the typed name, then the working name, then (where the file system
// lists directories) a match without regard to case, component by component.
// A component that matches more than one entry, none exactly, finds nothing.
bool find_file(const std::string &typed, const std::string &working, const file_ops &fs, lookup_cache &cache,
               std::string *path, file_info *info);
