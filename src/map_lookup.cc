#include "map_lookup.h"

#include <algorithm>

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

bool part_is_dots(const std::string &part) { return part == "." || part == ".."; }

bool less_ignoring_case(const std::string &a, const std::string &b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(upper_byte(x)) < static_cast<unsigned char>(upper_byte(y));
  });
}

bool same_status(const dir_status &a, const dir_status &b) {
  return a.device == b.device && a.inode == b.inode && a.modified_ns == b.modified_ns && a.changed_ns == b.changed_ns;
}

// The index of dir, listed afresh where the cache has none, where the
// directory changed since, or where the caller found the index stale.
const directory_index *listed(const std::string &dir, const file_ops &fs, lookup_cache &cache, bool stale,
                              bool *fresh) {
  std::string path = dir.empty() ? std::string(".") : dir;
  dir_status status{};
  if (!fs.stat_directory(path, &status))
    return nullptr;
  auto known = cache.directories.find(dir);
  *fresh = stale || known == cache.directories.end() || !same_status(known->second.status, status);
  if (!*fresh)
    return &known->second;
  // The status is taken before the listing: a change while listing shows next time.
  directory_index index{status, {}};
  if (!fs.list_directory(path, &index.names)) {
    cache.directories.erase(dir);
    return nullptr;
  }
  std::sort(index.names.begin(), index.names.end(), less_ignoring_case);
  return &(cache.directories[dir] = std::move(index));
}

// The one name of the index that matches without regard to case, or null.
const std::string *only_match(const directory_index *index, const std::string &name) {
  if (!index)
    return nullptr;
  auto matches = std::equal_range(index->names.begin(), index->names.end(), name, less_ignoring_case);
  return matches.second - matches.first == 1 ? &*matches.first : nullptr;
}

// Resolves one component below dir ("" is the current directory, else it ends
// in "/") and queries what it found. Paths in tried were queried already.
bool find_component(const std::string &dir, const std::string &typed, const std::string &working,
                    const std::string (&tried)[2], const file_ops &fs, lookup_cache &cache, std::string *found,
                    file_info *info) {
  for (const std::string *exact : {&typed, &working}) {
    std::string path = dir + *exact;
    if (path == tried[0] || path == tried[1])
      continue;
    *info = fs.query(path);
    if (info->exists) {
      *found = *exact;
      return true;
    }
  }
  bool fresh = false;
  const std::string *match = only_match(listed(dir, fs, cache, false, &fresh), typed);
  if (!match)
    return false;
  // The index is a copy: what it shows must still be there. If it is gone
  // although the directory's status looked the same, list the directory again.
  *info = fs.query(dir + *match);
  if (!info->exists && !fresh) {
    match = only_match(listed(dir, fs, cache, true, &fresh), typed);
    if (!match)
      return false;
    *info = fs.query(dir + *match);
  }
  if (info->exists)
    *found = *match;
  return info->exists;
}

}  // namespace

bool find_file(const std::string &typed, const std::string &working, const file_ops &fs, lookup_cache &cache,
               std::string *path, file_info *info) {
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
  const std::string tried[2] = {typed, working};
  std::string resolved = typed[0] == '/' ? "/" : "";
  for (size_t i = 0; i < typed_parts.size(); ++i) {
    std::string part;
    if (part_is_dots(typed_parts[i]))
      part = typed_parts[i];
    else if (!find_component(resolved, typed_parts[i], working_parts[i], tried, fs, cache, &part, info))
      return false;
    resolved += part;
    if (i + 1 < typed_parts.size())
      resolved += '/';
  }
  // The last component's own lookup queried it, unless it was a dot or two.
  if (part_is_dots(typed_parts.back()))
    return try_name(resolved);
  *path = resolved;
  return true;
}
