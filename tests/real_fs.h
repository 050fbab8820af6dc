// Helpers for tests on the real file system: a scratch folder, file bytes,
// and the real platform calls with a hook between the query and the open.
#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "map_patch.h"

struct scratch_dir {
  std::filesystem::path path;
  scratch_dir();
  ~scratch_dir();
  std::string file(const std::string &name) const { return (path / name).string(); }
};

void write_file(const std::string &path, const std::string &data);
std::string read_file(const std::string &path);
// The read-only mark: no write bit for anyone (POSIX), the attribute (Win32).
void remove_write_bits(const std::string &path);
// Whether the system itself refuses to open a file so marked for writing:
// on POSIX for every user but root. On Win32 the tool never tries.
bool open_refuses_protected_files();

// The real calls, counting real opens and closes.
struct real_calls {
  // Runs between the checks and the open of the map alone: a lookup that
  // walks the path must never have it act on a folder above, such as /tmp.
  void (*after_query)(const std::string &path) = nullptr;
  std::string map;
  int opens = 0;
  int closes = 0;
};
real_calls &real();
file_system real_file_system();
// A patch through real_file_system(), in a run of its own.
patch_result patch_real(const std::string &argument, const std::string &working);

// A fresh map in a scratch folder, patched through real_file_system().
class real_map : public ::testing::Test {
protected:
  scratch_dir dir;
  std::string map = dir.file("E1M1.BSP");
  void SetUp() override {
    real() = real_calls();
    real().map = map;
    write_file(map, "OMAP)0123456789");
  }
  patch_result patch() { return patch_real(map, map); }
};
