#include "driver.h"

#include <gtest/gtest.h>

#include "expected_banner.h"

#include "fake_fs.h"
#include "report.h"

namespace {

const std::string BANNER(EXPECTED_BANNER);
const std::string HEAD = BANNER + "----------\\..........\n\n";

struct captured {
  std::string text;
  int writes = 0;
  int fail_after = -1;     // sink fails from this write on
  std::vector<int> opens;  // how many files had been opened at each write
};

bool capture(void *context, const char *data, size_t size) {
  captured &c = *static_cast<captured *>(context);
  if (c.fail_after >= 0 && c.writes >= c.fail_after)
    return false;
  ++c.writes;
  c.opens.push_back(fake().opens);
  c.text.append(data, size);
  return true;
}

struct run_outcome {
  std::string text;
  int status;
  int writes;
  std::vector<int> opens;
};

run_outcome run(const std::vector<std::string> &arguments, bool immediate = false, int fail_after = -1,
                bool crlf = false) {
  captured c;
  c.fail_after = fail_after;
  output out = make_output(capture, &c, immediate, crlf);
  std::vector<std::string_view> views(arguments.begin(), arguments.end());
  file_system fs = fake_file_system();
  int status = run_tool("/a%s%d\\b/olum2zavik", views, fs, out, [] { return fake().interrupted; });
  return {c.text, status, c.writes, c.opens};
}

class driver : public ::testing::Test {
protected:
  void SetUp() override { reset_fake(); }
};

// The program's path shows as it is, whatever it holds.
TEST_F(driver, usage_without_arguments) {
  run_outcome r = run({});
  EXPECT_EQ(r.text, BANNER + "\nusage : /a%s%d\\b/olum2zavik <file[.bsp]> [<file[.bsp]>] [...]\n");
  EXPECT_EQ(r.status, EXIT_USAGE);
}

TEST_F(driver, one_line_per_argument_in_order) {
  fake().files["e1m1.bsp"].data = "0123456789";
  fake().files["RO.BSP"].read_only = true;
  fake().files["MAPS.BSP"].regular_file = false;
  // A "%" in a name is no placeholder.
  run_outcome r = run({"e1m1", "100%s%n%d.txt", "%", "ro", "maps.bsp", "E1M1.bsp"});
  EXPECT_EQ(r.text, HEAD +
                        "Working on file E1M1.BSP : succeed\n"
                        "Working on file 100%S%N%D.TXT : failed, not a bsp file\n"
                        "Working on file %.BSP : failed, file not found\n"
                        "Working on file RO.BSP : failed, no write permission\n"
                        "Working on file MAPS.BSP : failed, cannot open the file \n"
                        "Working on file E1M1.BSP : succeed\n");
  EXPECT_EQ(fake().files["e1m1.bsp"].data, "0123*56789");
  EXPECT_EQ(r.status, EXIT_SOME_FAILED);
}

TEST(report, every_verdict_text) {
  EXPECT_EQ(verdict_text(std::nullopt), "failed, not a bsp file\n");
  EXPECT_EQ(verdict_text(patch_result::patched), "succeed\n");
  EXPECT_EQ(verdict_text(patch_result::not_found), "failed, file not found\n");
  EXPECT_EQ(verdict_text(patch_result::not_writable), "failed, no write permission\n");
  EXPECT_EQ(verdict_text(patch_result::open_failed), "failed, cannot open the file \n");
  EXPECT_EQ(verdict_text(patch_result::seek_failed), "failed\n");
  EXPECT_EQ(verdict_text(patch_result::write_failed), "failed, no write permission\n");
}

TEST_F(driver, all_patched_is_status_zero) {
  fake().files["A.BSP"].data = "01234";
  run_outcome r = run({"a", "A", "a.bsp"});
  EXPECT_EQ(r.status, EXIT_ALL_PATCHED);
  EXPECT_EQ(r.text, HEAD +
                        "Working on file A.BSP : succeed\n"
                        "Working on file A.BSP : succeed\n"
                        "Working on file A.BSP : succeed\n");
}

TEST_F(driver, console_sees_progress_before_the_file_is_touched) {
  fake().files["A.BSP"].data = "01234";
  run_outcome r = run({"a", "b"}, true);
  // banner, separator, then progress and verdict as separate writes
  EXPECT_EQ(r.opens, (std::vector<int>{0, 0, 0, 1, 1, 1}));
  run_outcome redirected = run({"a", "b"}, false);
  EXPECT_EQ(redirected.writes, 1);
  EXPECT_EQ(redirected.text, r.text);
}

TEST_F(driver, lost_output_keeps_the_batch_going) {
  fake().files["A.BSP"].data = "01234";
  fake().files["B.BSP"].data = "01234";
  run_outcome r = run({"a", "b"}, true, 1);
  EXPECT_EQ(r.text, BANNER);
  EXPECT_EQ(r.status, EXIT_SOME_FAILED);
  EXPECT_EQ(fake().files["A.BSP"].data, "0123*");
  EXPECT_EQ(fake().files["B.BSP"].data, "0123*");
}

TEST_F(driver, an_interrupt_stops_the_batch_after_the_argument_at_hand) {
  for (const char *name : {"A.BSP", "B.BSP", "C.BSP", "D.BSP"})
    fake().files[name].data = "01234";
  fake().interrupt_at = "B.BSP";
  run_outcome r = run({"a", "b", "c", "d"});
  EXPECT_EQ(r.text, HEAD +
                        "Working on file A.BSP : succeed\n"
                        "Working on file B.BSP : succeed\n");
  EXPECT_EQ(fake().files["B.BSP"].data, "0123*");
  EXPECT_EQ(fake().files["C.BSP"].data, "01234");
  EXPECT_EQ(fake().files["D.BSP"].data, "01234");
}

TEST_F(driver, text_mode_line_ends) {
  run_outcome r = run({"x.txt"}, false, -1, true);
  std::string want = HEAD + "Working on file X.TXT : failed, not a bsp file\n";
  std::string crlf;
  for (char c : want)
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(r.text, crlf);
}

}  // namespace
