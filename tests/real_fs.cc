#include "real_fs.h"

#include <fstream>
#include <iterator>
#include <random>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

std::filesystem::path unique_temp_path() {
  std::random_device seed;
  return std::filesystem::temp_directory_path() / ("o2z-test-" + std::to_string(seed()));
}

}  // namespace

// A folder of its own: one that exists already belongs to another test.
scratch_dir::scratch_dir() : path(unique_temp_path()) {
  while (!std::filesystem::create_directory(path))
    path = unique_temp_path();
}

scratch_dir::~scratch_dir() {
  std::error_code ignored;
  std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path, ignored);
}

void write_file(const std::string &path, const std::string &data) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
}

std::string read_file(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void remove_write_bits(const std::string &path) {
  std::filesystem::permissions(path,
                               std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                   std::filesystem::perms::others_write,
                               std::filesystem::perm_options::remove);
}

bool open_refuses_protected_files() {
#ifdef _WIN32
  return false;
#else
  return geteuid() != 0;
#endif
}

namespace {

real_calls the_calls;
const file_ops &system_ops() { return platform_file_system().ops; }

file_info query(std::string_view path) {
  file_info info = system_ops().query(path);
  if (the_calls.after_query && path == the_calls.map)
    the_calls.after_query(std::string(path));
  return info;
}

bool open(std::string_view path, int links, open_file *file) {
  if (!system_ops().open(path, links, file))
    return false;
  ++the_calls.opens;
  return true;
}

bool close(const open_file &file) {
  ++the_calls.closes;
  return system_ops().close(file);
}

}  // namespace

real_calls &real() { return the_calls; }

file_system real_file_system() {
  static const file_ops ops = {
      query, open, system_ops().write_at, close, system_ops().stat_directory, system_ops().list_directory};
  file_system system = platform_file_system();
  return {ops, system.paths, system.names_differ_by_case, std::nullopt, {}};
}

patch_result patch_real(const std::string &argument, const std::string &working) {
  file_system fs = real_file_system();
  return patch_map({argument, working}, fs);
}
