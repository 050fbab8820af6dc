// Races and entries that only POSIX systems have.
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>

#include <gtest/gtest.h>

#include "map_patch.h"
#include "process.h"
#include "real_fs.h"

namespace {

namespace fs = std::filesystem;

using platform_posix = real_map;

// Were a descriptor left open, one more open of the same file would still
// work, so leaks are looked for where the system lists descriptors (/dev/fd).
long open_descriptors() { return std::distance(fs::directory_iterator("/dev/fd"), fs::directory_iterator()); }

void make_fifo(const std::string &path) {
  fs::remove(path);
  ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
}

TEST_F(platform_posix, replaced_by_a_fifo_without_a_reader) {
  real().after_query = [](const std::string &path) { make_fifo(path); };
  EXPECT_EQ(patch(), patch_result::open_failed);
  EXPECT_EQ(real().opens, 0);
}

int reader = -1;

TEST_F(platform_posix, replaced_by_a_fifo_with_a_reader_gets_nothing) {
  real().after_query = [](const std::string &path) {
    make_fifo(path);
    reader = open(path.c_str(), O_RDONLY | O_NONBLOCK);
  };
  long before = open_descriptors();
  EXPECT_EQ(patch(), patch_result::open_failed);
  ASSERT_GE(reader, 0);
  char byte;
  EXPECT_LE(read(reader, &byte, 1), 0);
  close(reader);
  EXPECT_EQ(open_descriptors(), before);
}

// O_NOFOLLOW: a link swapped in is not followed, whatever it leads to.
std::string link_target;

TEST_F(platform_posix, replaced_by_a_link_between_the_checks_and_the_open) {
  write_file(dir.file("NOTES.TXT"), "notes");
  write_file(dir.file("OTHER.BSP"), "other");
  real().after_query = [](const std::string &path) {
    fs::remove(path);
    fs::create_symlink(link_target, path);
  };
  for (const char *target : {"/dev/null", "NOTES.TXT", "OTHER.BSP"}) {
    link_target = target;
    write_file(map, "OMAP)0123456789");
    EXPECT_EQ(patch(), patch_result::open_failed) << target;
    fs::remove(map);
  }
  EXPECT_EQ(real().opens, 0);
  // A link to a map at the checks, then retargeted, or a plain file in its
  // place: the one hop is followed again, and its own name decides.
  real().after_query = [](const std::string &path) {
    fs::remove(path);
    link_target.empty() ? write_file(path, "plain") : fs::create_symlink(link_target, path);
  };
  for (const char *then : {"NOTES.TXT", ""}) {
    link_target = then;
    fs::create_symlink("OTHER.BSP", map);
    EXPECT_EQ(patch(), patch_result::open_failed) << then;
    fs::remove(map);
  }
  EXPECT_EQ(read_file(dir.file("NOTES.TXT")), "notes");
  EXPECT_EQ(read_file(dir.file("OTHER.BSP")), "other");
}

TEST_F(platform_posix, every_real_open_and_listing_is_closed) {
  long before = open_descriptors();
  write_file(dir.file("Mixed.Bsp"), "OMAP)0");
  for (int i = 0; i < 50; ++i) {
    real().after_query = nullptr;
    EXPECT_EQ(patch(), patch_result::patched);
    // A name in another case than on disk: the folder is listed where case counts.
    EXPECT_EQ(patch_real(dir.file("mixed.bsp"), dir.file("MIXED.BSP")), patch_result::patched);
    real().after_query = remove_write_bits;  // refused once open, or by the open itself
    EXPECT_NE(patch(), patch_result::patched);
    chmod(map.c_str(), 0644);
  }
  EXPECT_EQ(open_descriptors(), before);
  EXPECT_EQ(real().opens, real().closes);
}

TEST_F(platform_posix, no_write_bit_is_write_protection_for_everyone) {
  chmod(map.c_str(), 0444);
  EXPECT_EQ(patch(), patch_result::not_writable);
  chmod(map.c_str(), 0200);  // writable by the owner alone
  EXPECT_EQ(patch(), patch_result::patched);
  chmod(map.c_str(), 0644);
  EXPECT_EQ(read_file(map), "OMAP*0123456789");
}

TEST(platform_posix_calls, offsets_on_a_pipe_fail_and_a_folder_is_listed_whole) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  open_file pipe_end{ends[1], true, "", {}};
  const file_ops &ops = platform_file_system().ops;
  EXPECT_EQ(ops.write_at(pipe_end, 4, "*", 1), write_outcome::bad_offset);
  close(ends[0]);
  close(ends[1]);
  scratch_dir dir;
  write_file(dir.file("A.BSP"), "a");
  fs::create_directory(dir.file("b"));
  std::vector<std::string> names;
  dir_status status{};
  EXPECT_TRUE(ops.list_directory(dir.path.string(), &names));
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{".", "..", "A.BSP", "b"}));
  EXPECT_EQ(ops.stat_directory(dir.path.string(), &status), reach::found);
  EXPECT_EQ(ops.stat_directory(dir.file("A.BSP"), &status), reach::dead_end);
  EXPECT_FALSE(ops.list_directory(dir.file("A.BSP"), &names));
}

// A terminal shows each text at once; a pipe or a file takes large blocks.
TEST(platform_posix_calls, standard_output_is_immediate_on_a_terminal_only) {
  int terminal = posix_openpt(O_RDWR | O_NOCTTY);
  if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0)
    GTEST_SKIP() << "no pseudo-terminal here";
  int replica = open(ptsname(terminal), O_RDWR | O_NOCTTY);
  int ends[2];
  ASSERT_GE(replica, 0);
  ASSERT_EQ(pipe(ends), 0);
  int saved = dup(STDOUT_FILENO);
  dup2(ends[1], STDOUT_FILENO);
  bool piped = platform_stdout().immediate;
  dup2(replica, STDOUT_FILENO);
  bool on_terminal = platform_stdout().immediate;
  dup2(saved, STDOUT_FILENO);
  for (int fd : {saved, ends[0], ends[1], replica, terminal})
    close(fd);
  EXPECT_FALSE(piped);
  EXPECT_TRUE(on_terminal);
}

// Start-up takes each standard stream that was closed: no map opened later becomes one.
TEST(platform_posix_calls, start_up_leaves_no_standard_stream_free) {
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    close(STDIN_FILENO);
    close(STDERR_FILENO);
    long before = open_descriptors();
    platform_start();  // takes the two, and keeps no third
    _exit(fcntl(STDIN_FILENO, F_GETFD) != -1 && fcntl(STDERR_FILENO, F_GETFD) != -1 && open_descriptors() == before + 2
              ? 0
              : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_EQ(status, 0);
}

// The tool ends by the interrupt's own signal, not by an exit status that a
// shell would show alike: a parent's wait tells them apart.
TEST(platform_posix_calls, an_interrupt_ends_the_process_by_its_own_signal) {
  struct signal_case {
    int first, then;  // then: a second that comes while the batch goes on, and counts as the first
  };
  for (signal_case c : {signal_case{SIGINT, 0}, {SIGTERM, 0}, {SIGHUP, 0}, {SIGINT, SIGTERM}}) {
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      platform_start();
      raise(c.first);
      // cppcheck-suppress unreachableCode ; raise() returns once the handler has
      if (c.then != 0)
        raise(c.then);
      output out = platform_stdout();
      if (platform_interrupted())
        platform_end_run(out, "", 0);
      _exit(3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status)) << c.first << " status " << status;
    EXPECT_EQ(WTERMSIG(status), c.first);
  }
}

}  // namespace
