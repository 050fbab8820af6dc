// Races and entries that only POSIX systems have.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "map_patch.h"
#include "real_fs.h"

namespace {

namespace fs = std::filesystem;

using platform_posix = real_map;

void make_fifo(const std::string &path) {
  fs::remove(path);
  ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
}

TEST_F(platform_posix, replaced_by_a_fifo_without_a_reader) {
  faulty().after_query = [](const std::string &path) { make_fifo(path); };
  EXPECT_EQ(patch(), patch_result::open_failed);
  EXPECT_EQ(faulty().opens, 0);
}

int reader = -1;

TEST_F(platform_posix, replaced_by_a_fifo_with_a_reader_gets_nothing) {
  faulty().after_query = [](const std::string &path) {
    make_fifo(path);
    reader = open(path.c_str(), O_RDONLY | O_NONBLOCK);
  };
  EXPECT_EQ(patch(), patch_result::open_failed);
  ASSERT_GE(reader, 0);
  char byte;
  EXPECT_LE(read(reader, &byte, 1), 0);
  close(reader);
}

TEST_F(platform_posix, replaced_by_a_link_to_a_device) {
  faulty().after_query = [](const std::string &path) {
    fs::remove(path);
    fs::create_symlink("/dev/null", path);
  };
  EXPECT_EQ(patch(), patch_result::open_failed);
  EXPECT_EQ(faulty().opens, 0);
}

TEST_F(platform_posix, no_write_bit_is_write_protection_for_everyone) {
  chmod(map.c_str(), 0444);
  EXPECT_EQ(patch(), patch_result::not_writable);
  chmod(map.c_str(), 0200);  // writable by the owner alone
  EXPECT_EQ(patch(), patch_result::patched);
  chmod(map.c_str(), 0644);
  EXPECT_EQ(read_file(map), "OMAP*0123456789");
}

}  // namespace
