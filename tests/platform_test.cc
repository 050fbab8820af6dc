// The real platform calls, on real files, with faults and races injected.
#include <gtest/gtest.h>

#include "map_patch.h"
#include "real_fs.h"

namespace {

namespace fs = std::filesystem;

using platform = real_map;

TEST_F(platform, each_failing_call_gives_its_result) {
  struct fault_case {
    fault failing;
    patch_result want;
    const char *left;
  };
  const fault_case cases[] = {
      {fault::none, patch_result::patched, "OMAP*0123456789"},
      {fault::query, patch_result::not_found, "OMAP)0123456789"},
      {fault::open, patch_result::open_failed, "OMAP)0123456789"},
      {fault::seek, patch_result::seek_failed, "OMAP)0123456789"},
      {fault::write_error, patch_result::write_failed, "OMAP)0123456789"},
      {fault::write_short, patch_result::write_failed, "OMAP)0123456789"},
      {fault::close, patch_result::write_failed, "OMAP*0123456789"},
  };
  for (const fault_case &c : cases) {
    write_file(map, "OMAP)0123456789");
    faulty().failing = c.failing;
    EXPECT_EQ(patch(), c.want) << static_cast<int>(c.failing);
    EXPECT_EQ(read_file(map), c.left) << static_cast<int>(c.failing);
  }
  EXPECT_EQ(faulty().opens, faulty().closes);
}

TEST_F(platform, every_real_open_is_closed_over_a_long_mixed_run) {
  const fault order[] = {fault::none, fault::seek, fault::write_error, fault::write_short, fault::close, fault::open};
  for (int i = 0; i < 2000; ++i) {
    faulty().failing = order[i % 6];
    patch();
  }
  EXPECT_GT(faulty().opens, 1500);
  EXPECT_EQ(faulty().opens, faulty().closes);
  // Were a handle left open, one more open of the same file would still work,
  // so look for leaks where the system lists them.
  if (fs::exists("/proc/self/fd")) {
    auto count = [] { return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator()); };
    auto before = count();
    for (int i = 0; i < 100; ++i)
      patch();
    EXPECT_EQ(count(), before);
  }
}

TEST_F(platform, read_only_missing_and_directory) {
  fs::permissions(map, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                  fs::perm_options::remove);
  EXPECT_EQ(patch(), patch_result::not_writable);
  EXPECT_EQ(read_file(map), "OMAP)0123456789");
  fs::permissions(map, fs::perms::owner_write, fs::perm_options::add);
  lookup_cache cache;
  EXPECT_EQ(patch_map(dir.file("GONE.BSP"), dir.file("GONE.BSP"), faulty_ops(), cache), patch_result::not_found);
  fs::create_directory(dir.file("D.BSP"));
  EXPECT_EQ(patch_map(dir.file("D.BSP"), dir.file("D.BSP"), faulty_ops(), cache), patch_result::open_failed);
  EXPECT_EQ(faulty().opens, 0);
}

TEST_F(platform, removed_between_the_checks_and_the_open) {
  faulty().after_query = [](const std::string &path) { fs::remove(path); };
  EXPECT_EQ(patch(), patch_result::open_failed);
  EXPECT_FALSE(fs::exists(map));
}

TEST_F(platform, replaced_by_a_directory_between_the_checks_and_the_open) {
  faulty().after_query = [](const std::string &path) {
    fs::remove(path);
    fs::create_directory(path);
  };
  EXPECT_EQ(patch(), patch_result::open_failed);
  EXPECT_TRUE(fs::is_directory(map));
  EXPECT_EQ(faulty().opens, 0);
}

}  // namespace
