// Finding the file a working name stands for, on file systems that
// distinguish letter case as well as on those that do not.
#pragma once

#include <string>
#include <string_view>

#include "file_system.h"
#include "map_name.h"

// The file found: the path it was found by, one of the argument's names or
// one made on the way (`made`), and its query.
struct found_file {
  std::string_view path;
  std::string made;
  file_info info;
};

// The name as typed comes first (with ".bsp" where the working name got its
// extension), then the working name: where names ignore case either finds
// the file, and a folder that tells case apart (Windows can have them) finds
// exactly the file typed. Where names differ by case, a match without regard
// to case comes next, component by component. A component that matches more
// than one entry, none exactly, finds nothing; so does a folder that cannot
// be listed. A link that leads nowhere is not found, and costs about what a
// missing name costs. Each folder is listed once while it is unchanged, and
// a folder that may not be searched hides every name in it.
bool find_file(const map_names &names, file_system &fs, found_file *found);
