// The real platform calls, on real files, with races injected between the
// checks and the open.
#include <gtest/gtest.h>

#include "map_patch.h"
#include "real_fs.h"

namespace {

namespace fs = std::filesystem;

using platform = real_map;

TEST_F(platform, read_only_missing_and_directory) {
  remove_write_bits(map);
  EXPECT_EQ(patch(), patch_result::not_writable);
  EXPECT_EQ(read_file(map), "OMAP)0123456789");
  EXPECT_EQ(patch_real(dir.file("GONE.BSP"), dir.file("GONE.BSP")), patch_result::not_found);
  fs::create_directory(dir.file("D.BSP"));
  EXPECT_EQ(patch_real(dir.file("D.BSP"), dir.file("D.BSP")), patch_result::open_failed);
  EXPECT_EQ(real().opens, 0);
}

TEST_F(platform, removed_between_the_checks_and_the_open) {
  real().after_query = [](const std::string &path) { fs::remove(path); };
  EXPECT_EQ(patch(), patch_result::open_failed);
  EXPECT_FALSE(fs::exists(map));
}

TEST_F(platform, replaced_by_a_directory_between_the_checks_and_the_open) {
  real().after_query = [](const std::string &path) {
    fs::remove(path);
    fs::create_directory(path);
  };
  EXPECT_EQ(patch(), patch_result::open_failed);
  EXPECT_TRUE(fs::is_directory(map));
  EXPECT_EQ(real().opens, 0);
}

// A shared folder whose entries someone exchanges: what was opened decides,
// where the system does not refuse the open itself.
TEST_F(platform, swapped_for_a_protected_map_between_the_checks_and_the_open) {
  write_file(dir.file("PROTECTED"), "keep)me");
  remove_write_bits(dir.file("PROTECTED"));
  real().after_query = [](const std::string &path) { fs::rename(fs::path(path).parent_path() / "PROTECTED", path); };
  EXPECT_EQ(patch(), open_refuses_protected_files() ? patch_result::open_failed : patch_result::not_writable);
  EXPECT_EQ(read_file(map), "keep)me");
  EXPECT_EQ(real().opens, real().closes);
}

}  // namespace
