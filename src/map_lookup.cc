#include "map_lookup.h"

#include <vector>

#include "map_name.h"

namespace {

std::vector<std::string> split_path(const std::string &path) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t slash = path.find('/', start);
    if (slash == std::string::npos)
      slash = path.size();
    if (slash > start)
      parts.push_back(path.substr(start, slash - start));
    start = slash + 1;
  }
  return parts;
}

// Resolves one component below dir ("" is the current directory, else it ends in "/").
bool find_component(const std::string &dir, const std::string &typed, const std::string &working, const file_ops &fs,
                    std::string *found) {
  for (const std::string *exact : {&typed, &working}) {
    if (fs.query(dir + *exact).exists) {
      *found = *exact;
      return true;
    }
  }
  std::vector<std::string> names;
  if (!fs.list_directory(dir.empty() ? std::string(".") : dir, &names))
    return false;
  int matches = 0;
  for (const std::string &name : names) {
    if (same_ignoring_case(name, typed)) {
      *found = name;
      ++matches;
    }
  }
  return matches == 1;
}

}  // namespace

bool same_ignoring_case(const std::string &a, const std::string &b) { return upper_case(a) == upper_case(b); }

bool find_file(const std::string &typed, const std::string &working, const file_ops &fs, std::string *path,
               file_info *info) {
  auto try_name = [&](const std::string &name) {
    *info = fs.query(name);
    if (info->exists)
      *path = name;
    return info->exists;
  };
  if (try_name(typed) || (working != typed && try_name(working)))
    return true;
  if (!fs.list_directory)
    return false;

  std::vector<std::string> typed_parts = split_path(typed);
  std::vector<std::string> working_parts = split_path(working);
  if (typed_parts.size() != working_parts.size() || typed_parts.empty())
    return false;
  std::string resolved = typed[0] == '/' ? "/" : "";
  for (size_t i = 0; i < typed_parts.size(); ++i) {
    std::string part;
    if (typed_parts[i] == "." || typed_parts[i] == "..")
      part = typed_parts[i];
    else if (!find_component(resolved, typed_parts[i], working_parts[i], fs, &part))
      return false;
    resolved += part;
    if (i + 1 < typed_parts.size())
      resolved += '/';
  }
  return try_name(resolved);
}
