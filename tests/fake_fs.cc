#include "fake_fs.h"

#include <cstring>
#include <functional>

namespace {

fake_fs the_fake;

std::string clean(std::string_view view) {
  std::string path(view);
  while (path.compare(0, 2, "./") == 0)
    path.erase(0, 2);
  while (!path.empty() && path.back() == '/')
    path.pop_back();
  return path == "." ? "" : path;
}

std::string upper(std::string text) {
  for (char &c : text)
    c = upper_byte(c);
  return text;
}

// The stored path for a name, or "" where none matches.
std::string stored(std::string_view path) {
  std::string want = clean(path);
  for (const auto &file : the_fake.files)
    if (file.first == want || (!the_fake.names_differ_by_case && upper(file.first) == upper(want)))
      return file.first;
  return "";
}

bool is_directory(std::string_view path) {
  std::string want = clean(path) + "/";
  for (const auto &file : the_fake.files)
    if (file.first.compare(0, want.size(), want) == 0)
      return true;
  return false;
}

file_info query(std::string_view path) {
  ++the_fake.queries;
  std::string name = stored(path);
  file_info info;
  std::string folder = the_fake.unsearchable + "/";
  info.reached = !the_fake.unsearchable.empty() && clean(path).compare(0, folder.size(), folder) == 0 ? reach::blocked
                                                                                                      : reach::none;
  if (the_fake.failing == fault::query || info.reached == reach::blocked || (name.empty() && !is_directory(path)))
    return info;
  info.reached = reach::found;
  info.writable = true;
  if (name.empty())  // a folder
    return info;
  const fake_entry &entry = the_fake.files[name];
  info.reached = entry.leads_nowhere ? reach::dead_end : reach::found;
  info.writable = !entry.read_only;
  info.regular_file = entry.regular_file;
  info.link_target = entry.link_target;
  info.links = entry.link_target.empty() ? 0 : 1;
  return info;
}

file_id id_of(const std::string &name) { return {0, std::hash<std::string>()(name)}; }

std::vector<std::string> handles;  // the stored path behind each open handle

const std::string &opened(const open_file &file) { return handles[static_cast<size_t>(file.handle)]; }

bool open(std::string_view path, int, open_file *file) {
  std::string name = stored(path);
  if (the_fake.failing == fault::open || name.empty())
    return false;
  ++the_fake.opens;
  const fake_entry &entry = the_fake.files[name];
  handles.push_back(name);
  *file = {static_cast<intptr_t>(handles.size() - 1), !entry.read_only && !entry.opens_read_only, entry.own_name,
           id_of(name)};
  return true;
}

write_outcome write_at(const open_file &file, uint64_t offset, const void *data, size_t size) {
  if (opened(file) == the_fake.interrupt_at)
    the_fake.interrupted = true;
  if (the_fake.failing == fault::bad_offset)
    return write_outcome::bad_offset;
  if (the_fake.failing == fault::write)
    return write_outcome::failed;
  std::string &content = the_fake.files[opened(file)].data;
  size_t end = static_cast<size_t>(offset) + size;
  if (content.size() < end)
    content.resize(end, '\0');
  std::memcpy(&content[static_cast<size_t>(offset)], data, size);
  return write_outcome::written;
}

bool close(const open_file &) {
  ++the_fake.closes;
  return the_fake.failing != fault::close;
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

// A failing listing fails part way: it has given some names already.
bool list_directory(std::string_view path, std::vector<std::string> *names) {
  std::string dir = clean(path);
  the_fake.listed.push_back(dir.empty() ? "." : dir);
  names_in(dir, names);
  if (the_fake.failing == fault::listing && !names->empty())
    names->pop_back();
  return the_fake.failing != fault::listing && (dir.empty() || is_directory(dir));
}

// A directory's times change with its entries; here its status is made of them.
reach stat_directory(std::string_view path, dir_status *status) {
  std::string dir = clean(path);
  if (!dir.empty() && !is_directory(dir))
    return stored(dir).empty() ? reach::none : reach::dead_end;
  std::vector<std::string> names;
  names_in(dir, &names);
  std::string all;
  for (const std::string &name : names)
    all += name + '/';
  auto stamp = the_fake.coarse_clock ? 0 : static_cast<int64_t>(std::hash<std::string>()(all));
  *status = {id_of(dir), {the_fake.mtime_restored ? 0 : stamp, 0}, {stamp, 0}};
  return reach::found;
}

}  // namespace

fake_fs &fake() { return the_fake; }

void reset_fake() {
  the_fake = fake_fs();
  handles.clear();
}

file_system fake_file_system() {
  static const file_ops ops = {query, open, write_at, close, stat_directory, list_directory};
  std::optional<file_id> report;
  if (!the_fake.report_to.empty())
    report = id_of(the_fake.report_to);
  path_syntax paths = the_fake.names_differ_by_case ? path_syntax::posix : path_syntax::win32;
  return {ops, paths, the_fake.names_differ_by_case, report, {}};
}
