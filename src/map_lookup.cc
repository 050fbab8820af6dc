#include "map_lookup.h"

#include <algorithm>

namespace {

bool less_ignoring_case(const std::string &a, const std::string &b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(upper_byte(x)) < static_cast<unsigned char>(upper_byte(y));
  });
}

bool same_time(const file_time &a, const file_time &b) {
  return a.seconds == b.seconds && a.nanoseconds == b.nanoseconds;
}

bool same_status(const dir_status &a, const dir_status &b) {
  return same_file(a.id, b.id) && same_time(a.modified, b.modified) && same_time(a.changed, b.changed);
}

// Lists dir into the cache, as it was when it had status. A listing that
// fails, part way included, leaves no index: one that misses an entry could
// make a second match look like the only one.
const directory_index *list_afresh(const std::string &dir, const dir_status &status, const file_system &fs,
                                   lookup_cache &cache) {
  directory_index index{status, {}};
  if (!fs.ops.list_directory(dir.empty() ? "." : dir, &index.names))
    return nullptr;
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

// Queries dir + name; where something is there, *found is name.
bool query_as(const std::string &dir, const std::string &name, const file_system &fs, std::string *found,
              file_info *info) {
  *info = fs.ops.query(dir + name);
  if (info->exists)
    *found = name;
  return info->exists;
}

// Resolves one component below dir ("" is the current directory, else it
// ends in a separator) and queries what it found: its exact names first,
// none twice. whole_typed and whole_working, the whole names, were queried
// before.
bool find_component(const std::string &dir, const std::string &typed, const std::string &working,
                    const std::string &whole_typed, const std::string &whole_working, const file_system &fs,
                    lookup_cache &cache, std::string *found, file_info *info) {
  for (const std::string *exact : {&typed, &working}) {
    std::string path = dir + *exact;
    bool queried = path == whole_typed || path == whole_working || (exact == &working && working == typed);
    if (!queried && query_as(dir, *exact, fs, found, info))
      return true;
  }
  dir_status status{};
  if (!fs.ops.stat_directory(dir.empty() ? "." : dir, &status))
    return false;
  auto known = cache.directories.find(dir);
  bool cached = known != cache.directories.end() && same_status(known->second.status, status);
  const std::string *match = only_match(cached ? &known->second : list_afresh(dir, status, fs, cache), typed);
  if (!match)
    return false;
  if (query_as(dir, *match, fs, found, info))
    return true;
  // What a cached index shows must still be there. Where it is gone although
  // the directory's status looked the same (a clock too coarse to show the
  // change), the directory is listed again, once. A link that leads nowhere
  // is still there: the index was right.
  if (!cached || info->entry_exists)
    return false;
  match = only_match(list_afresh(dir, status, fs, cache), typed);
  return match != nullptr && query_as(dir, *match, fs, found, info);
}

}  // namespace

bool find_file(const std::string &typed, const std::string &working, const file_system &fs, lookup_cache &cache,
               file_info *info) {
  auto found = [&](const std::string &name) { return (*info = fs.ops.query(name)).exists; };
  if (found(typed))
    return true;
  // Where the entry typed is there but leads nowhere, a match without regard
  // to case could only be that entry again, or a second one beside it.
  bool typed_leads_nowhere = info->entry_exists;
  if (working != typed && found(working))
    return true;
  if (typed_leads_nowhere || !fs.names_differ_by_case)
    return false;

  // Both names come from one argument, so their components pair up.
  std::vector<std::string> typed_parts = split_path(typed, fs.paths);
  std::vector<std::string> working_parts = split_path(working, fs.paths);
  const char separator = fs.paths.separators[0];
  std::string resolved = typed.find_first_of(fs.paths.separators) == 0 ? std::string(1, separator) : "";
  for (size_t i = 0; i < typed_parts.size(); ++i) {
    std::string part = typed_parts[i];
    if (part != "." && part != ".." &&
        !find_component(resolved, typed_parts[i], working_parts[i], typed, working, fs, cache, &part, info))
      return false;
    resolved += part;
    resolved += separator;
  }
  // The last component's own query left its answer in *info.
  return true;
}
