// Finding the file a working name stands for, on file systems that
// distinguish letter case as well as on those that do not.
#pragma once

#include <string>

#include "platform.h"

// Tries the typed name, then the working name, then (where the file system
// lists directories) a match without regard to case, component by component.
// A component that matches more than one entry, none exactly, finds nothing.
bool find_file(const std::string &typed, const std::string &working, const file_ops &fs, std::string *path,
               file_info *info);

bool same_ignoring_case(const std::string &a, const std::string &b);
