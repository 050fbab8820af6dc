#include "map_lookup.h"

#include <algorithm>
#include <optional>

namespace {

bool less_ignoring_case(std::string_view a, std::string_view b) {
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

// Queries one path; where something is there, it is the one found.
reach query_path(file_system &fs, std::string_view path, found_file *found) {
  found->info = fs.ops.query(path);
  if (found->info.reached == reach::found)
    found->path = path;
  return found->info.reached;
}

// A walk through the components of an argument's two names. They pair up:
// the working name is the typed one upper-cased, so every separator stands
// at the same place in both.
struct component_walk {
  file_system &fs;
  std::string typed;  // the whole names, each queried before the walk
  std::string_view working;
  std::string folder;                // resolved so far: "" (the current folder) or ending in a separator
  std::optional<dir_status> status;  // of folder, where known
  found_file *found;
};

std::string folder_name(const component_walk &w) { return w.folder.empty() ? "." : w.folder; }

// Lists the folder into the run's listings. A listing that fails, part way
// included, leaves no index: one that misses an entry could make a second
// match look like the only one.
const directory_index *list_afresh(component_walk &w) {
  directory_index index{*w.status, {}};
  if (!w.fs.ops.list_directory(folder_name(w), &index.names))
    return nullptr;
  std::sort(index.names.begin(), index.names.end(), less_ignoring_case);
  return &(w.fs.listings[w.folder] = std::move(index));
}

// The one name of the index that matches without regard to case, or null.
const std::string *only_match(const directory_index *index, std::string_view name) {
  if (!index)
    return nullptr;
  auto matches = std::equal_range(index->names.begin(), index->names.end(), name, less_ignoring_case);
  return matches.second - matches.first == 1 ? &*matches.first : nullptr;
}

// Looks at one path in the folder: the last component by a query, which
// leaves its answer in *found; a folder on the way by its status, which
// then serves the next component's listing.
reach try_path(component_walk &w, std::string path, bool last) {
  if (last) {
    w.found->made = std::move(path);
    return query_path(w.fs, w.found->made, w.found);
  }
  dir_status status{};
  reach reached = w.fs.ops.stat_directory(path, &status);
  if (reached == reach::found) {
    w.folder = std::move(path) + '/';
    w.status = status;
  }
  return reached;
}

// Resolves one component: its exact names first, none twice, then the one
// match of the folder's listing.
bool resolve(component_walk &w, std::string_view typed_part, std::string_view working_part, bool last) {
  // A whole name was queried before the walk, and the working part may be
  // the typed part. A folder that may not be searched hides all it holds.
  const std::string_view exact[] = {typed_part, working_part};
  for (size_t i = 0; i < (working_part == typed_part ? 1 : 2); ++i) {
    std::string path = w.folder + std::string(exact[i]);
    reach reached = path == w.typed || path == w.working ? reach::none : try_path(w, std::move(path), last);
    if (reached == reach::found || reached == reach::blocked)
      return reached == reach::found;
  }
  dir_status status{};
  if (!w.status && w.fs.ops.stat_directory(folder_name(w), &status) == reach::found)
    w.status = status;
  if (!w.status)
    return false;
  auto known = w.fs.listings.find(w.folder);
  bool cached = known != w.fs.listings.end() && same_status(known->second.status, *w.status);
  const std::string *match = only_match(cached ? &known->second : list_afresh(w), typed_part);
  if (!match)
    return false;
  reach reached = try_path(w, w.folder + *match, last);
  // What a cached index shows must still be there. Where it is gone although
  // the folder's status looked the same (a clock too coarse to show the
  // change), the folder is listed again, once. An entry that leads nowhere is
  // still there, and a folder that may not be searched hides every entry
  // alike: there the index was right.
  if (reached != reach::none || !cached)
    return reached == reach::found;
  match = only_match(list_afresh(w), typed_part);
  return match != nullptr && try_path(w, w.folder + *match, last) == reach::found;
}

bool walk_components(component_walk &w) {
  std::string_view typed = w.typed;
  path_syntax paths = w.fs.paths;
  if (is_separator(typed[0], paths))
    w.folder = "/";
  for (size_t start = 0, end = 0; start < typed.size(); start = end + 1) {
    for (end = start; end < typed.size() && !is_separator(typed[end], paths);)
      ++end;
    std::string_view part = typed.substr(start, end - start);
    if (part.empty() || part == ".")  // the folder it is in
      continue;
    if (part == "..") {
      w.folder.append("../");
      w.status.reset();
      continue;
    }
    // The typed name ends in its last component: it always has an extension.
    if (!resolve(w, part, w.working.substr(start, end - start), end == typed.size()))
      return false;
  }
  return w.found->info.reached == reach::found;
}

}  // namespace

bool find_file(const map_names &names, file_system &fs, found_file *found) {
  // The name as typed, with ".bsp" where the working name got an extension.
  std::string_view typed = names.argument;
  if (names.working.size() != names.argument.size()) {
    found->made = make_typed_name(names);
    typed = found->made;
  }
  if (query_path(fs, typed, found) == reach::found)
    return true;
  // Where the name typed is there but leads nowhere, a match without regard
  // to case could only be that entry again, or a second one beside it.
  bool typed_leads_nowhere = found->info.reached == reach::dead_end;
  if (names.working != typed && query_path(fs, names.working, found) == reach::found)
    return true;
  if (typed_leads_nowhere || !fs.names_differ_by_case)
    return false;
  component_walk w{fs, std::string(typed), names.working, "", std::nullopt, found};
  return walk_components(w);
}
