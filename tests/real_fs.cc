#include "real_fs.h"

#include <fstream>
#include <iterator>
#include <random>

namespace {

std::filesystem::path unique_temp_path() {
  std::random_device seed;
  return std::filesystem::temp_directory_path() / ("o2z-test-" + std::to_string(seed()));
}

}  // namespace

scratch_dir::scratch_dir() : path(unique_temp_path()) { std::filesystem::create_directories(path); }

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

namespace {

faulty_fs the_faults;
const file_ops &real() { return platform_file_ops(); }

file_info query(const std::string &path) {
  if (the_faults.failing == fault::query)
    return {false, false, false};
  file_info info = real().query(path);
  if (the_faults.after_query)
    the_faults.after_query(path);
  return info;
}

bool open(const std::string &path, open_file *handle) {
  if (the_faults.failing == fault::open || !real().open(path, handle))
    return false;
  ++the_faults.opens;
  return true;
}

bool seek(open_file *handle, uint64_t offset) {
  return the_faults.failing != fault::seek && real().seek(handle, offset);
}

bool write(open_file *handle, const void *data, size_t size, size_t *written) {
  if (the_faults.failing == fault::write_error)
    return false;
  if (the_faults.failing == fault::write_short) {
    *written = 0;
    return true;
  }
  return real().write(handle, data, size, written);
}

bool close(open_file handle) {
  ++the_faults.closes;
  return real().close(handle) && the_faults.failing != fault::close;
}

}  // namespace

faulty_fs &faulty() { return the_faults; }

const file_ops &faulty_ops() {
  static const file_ops ops = {query,       open, seek, write, close, real().list_directory, real().stat_directory,
                               real().paths};
  return ops;
}
