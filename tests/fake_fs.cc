#include "fake_fs.h"

#include <cstring>
#include <functional>

#include "map_name.h"

namespace {

fake_fs the_fake;
bool ignoring_case = false;

std::string clean(std::string path) {
  while (path.compare(0, 2, "./") == 0)
    path.erase(0, 2);
  while (!path.empty() && path.back() == '/')
    path.pop_back();
  return path == "." ? "" : path;
}

// The stored path for a name, or "" where none matches.
std::string stored(const std::string &path) {
  std::string want = clean(path);
  for (const auto &file : the_fake.files)
    if (file.first == want || (ignoring_case && upper_case(file.first) == upper_case(want)))
      return file.first;
  return "";
}

bool is_directory(const std::string &path) {
  std::string want = clean(path) + "/";
  for (const auto &file : the_fake.files)
    if (file.first.compare(0, want.size(), want) == 0)
      return true;
  return false;
}

file_info query(const std::string &path) {
  if (the_fake.faults.query)
    return {false, false, false};
  std::string name = stored(path);
  if (!name.empty()) {
    const fake_entry &entry = the_fake.files[name];
    return {true, !entry.read_only, entry.disk_file};
  }
  if (is_directory(path))
    return {true, true, false};
  return {false, false, false};
}

std::vector<std::string> handles;  // the path behind each open handle

bool open(const std::string &path, open_file *handle) {
  std::string name = stored(path);
  if (the_fake.faults.open || name.empty() || !the_fake.files[name].disk_file)
    return false;
  ++the_fake.opens;
  handles.push_back(name);
  *handle = {static_cast<intptr_t>(handles.size() - 1), 0};
  return true;
}

bool seek(open_file *handle, uint64_t offset) {
  handle->position = offset;
  return !the_fake.faults.seek;
}

bool write(open_file *handle, const void *data, size_t size, size_t *written) {
  if (handles[static_cast<size_t>(handle->value)] == the_fake.interrupt_at)
    the_fake.interrupted = true;
  if (the_fake.faults.write)
    return false;
  *written = 0;
  if (the_fake.faults.short_write)
    return true;
  std::string &content = the_fake.files[handles[static_cast<size_t>(handle->value)]].data;
  size_t end = static_cast<size_t>(handle->position) + size;
  if (content.size() < end)
    content.resize(end, '\0');
  std::memcpy(&content[static_cast<size_t>(handle->position)], data, size);
  *written = size;
  return true;
}

bool close(open_file) {
  ++the_fake.closes;
  return !the_fake.faults.close;
}

void names_in(const std::string &dir, std::vector<std::string> *names) {
  std::string prefix = dir.empty() ? "" : dir + "/";
  for (const auto &file : the_fake.files) {
    if (file.first.compare(0, prefix.size(), prefix) != 0)
      continue;
    std::string rest = file.first.substr(prefix.size());
    std::string name = rest.substr(0, rest.find('/'));
    if (names->empty() || names->back() != name)
      names->push_back(name);
  }
}

bool list_directory(const std::string &path, std::vector<std::string> *names) {
  std::string dir = clean(path);
  the_fake.listed.push_back(dir.empty() ? "." : dir);
  names_in(dir, names);
  return dir.empty() || is_directory(dir);
}

// A directory's times change with its entries; here its status is made of them.
bool stat_directory(const std::string &path, dir_status *status) {
  std::string dir = clean(path);
  if (!dir.empty() && !is_directory(dir))
    return false;
  std::vector<std::string> names;
  names_in(dir, &names);
  std::string all;
  for (const std::string &name : names)
    all += name + '/';
  auto stamp = the_fake.coarse_clock ? 0 : static_cast<int64_t>(std::hash<std::string>()(all));
  *status = {0, std::hash<std::string>()(dir), stamp, stamp};
  return true;
}

}  // namespace

fake_fs &fake() { return the_fake; }

void reset_fake() {
  the_fake = fake_fs();
  handles.clear();
}

const file_ops &fake_ops() {
  static const file_ops ops = {query, open, seek, write, close, list_directory, stat_directory, POSIX_PATHS};
  ignoring_case = false;
  return ops;
}

const file_ops &fake_ops_ignoring_case() {
  static const file_ops ops = {query, open, seek, write, close, nullptr, nullptr, WIN32_PATHS};
  ignoring_case = true;
  return ops;
}
