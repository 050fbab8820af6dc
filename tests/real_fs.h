// Helpers for tests on the real file system: a scratch folder, file bytes,
// and the real platform calls wrapped so that any one of them can fail.
#pragma once

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "map_patch.h"
#include "platform.h"

struct scratch_dir {
  std::filesystem::path path;
  scratch_dir();
  ~scratch_dir();
  std::string file(const std::string &name) const { return (path / name).string(); }
};

void write_file(const std::string &path, const std::string &data);
std::string read_file(const std::string &path);

enum class fault { none, query, open, seek, write_error, write_short, close };

// The real calls, with the chosen one failing, and a count of real opens and closes.
struct faulty_fs {
  fault failing = fault::none;
  void (*after_query)(const std::string &path) = nullptr;  // runs between the checks and the open
  int opens = 0;
  int closes = 0;
};
faulty_fs &faulty();
const file_ops &faulty_ops();

// A fresh map in a scratch folder, patched through faulty_ops().
class real_map : public ::testing::Test {
protected:
  scratch_dir dir;
  std::string map = dir.file("E1M1.BSP");
  void SetUp() override {
    faulty() = faulty_fs();
    write_file(map, "OMAP)0123456789");
  }
  patch_result patch() {
    lookup_cache cache;
    return patch_map(map, map, faulty_ops(), cache);
  }
};
