#include "driver.h"

#include <gtest/gtest.h>

#include "fake_fs.h"
#include "report.h"

namespace {

const std::string BANNER =
    "__ __Olum2Zavik --- -\n"
    "\t- HexadecimalPatch to convert OlumMap into ZavikMap\n"
    "\t- ../olum2zavik " O2Z_VERSION_MAJOR_MINOR "\\..\n";
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
  int status = run_tool("/opt/tools/olum2zavik", views, fake_file_system(), out, [] { return fake().interrupted; });
  return {c.text, status, c.writes, c.opens};
}

class driver : public ::testing::Test {
protected:
  void SetUp() override { reset_fake(); }
};

TEST_F(driver, usage_without_arguments) {
  run_outcome r = run({});
  EXPECT_EQ(r.text, BANNER + "\nusage : /opt/tools/olum2zavik <file[.bsp]> [<file[.bsp]>] [...]\n");
  EXPECT_EQ(r.status, EXIT_USAGE);
}

TEST_F(driver, usage_shows_any_path_as_it_is) {
  captured c;
  output out = make_output(capture, &c, false, false);
  run_tool("/a%s%d\\b/x", {}, fake_file_system(), out, [] { return false; });
  EXPECT_EQ(c.text, BANNER + "\nusage : /a%s%d\\b/x <file[.bsp]> [<file[.bsp]>] [...]\n");
}

TEST_F(driver, one_line_per_argument_in_order) {
  fake().files["e1m1.bsp"].data = "0123456789";
  fake().files["RO.BSP"].read_only = true;
  fake().files["MAPS.BSP"].regular_file = false;
  run_outcome r = run({"e1m1", "notes.txt", "missing", "ro", "maps.bsp", "E1M1.bsp", "bsp_notes.txt"});
  EXPECT_EQ(r.text, HEAD +
                        "Working on file E1M1.BSP : succeed\n"
                        "Working on file NOTES.TXT : failed, not a bsp file\n"
                        "Working on file MISSING.BSP : failed, file not found\n"
                        "Working on file RO.BSP : failed, no write permission\n"
                        "Working on file MAPS.BSP : failed, cannot open the file \n"
                        "Working on file E1M1.BSP : succeed\n"
                        "Working on file BSP_NOTES.TXT : failed, not a bsp file\n");
  EXPECT_EQ(fake().files["e1m1.bsp"].data, "0123*56789");
  EXPECT_EQ(r.status, EXIT_SOME_FAILED);
}

TEST(report, a_text_holds_exactly_what_it_is_given) {
  EXPECT_EQ(fill_pattern("%s and %s", {"a"}), "a and %s");  // a placeholder without a value stays
  // A C1 control at the end of a name is one too; its lead byte alone there
  // stands alone, whatever follows it in memory.
  EXPECT_EQ(progress_text("a\xC2\x85"), "Working on file a? : ");
  EXPECT_EQ(progress_text(std::string_view("a\xC2\x85", 2)), "Working on file a\xC2 : ");
  // What a terminal would act on shows as "?": 0x1F, a raw C1 byte outside
  // UTF-8, a surrogate, a right-to-left override, a line separator, a
  // left-to-right isolate, an Arabic letter mark. Latin-1 and UTF-8 letters stay.
  EXPECT_EQ(progress_text("\x1F\x9B\xED\xA0\x9B\xE2\x80\xAE\xE2\x80\xA8\xE2\x81\xA6\xD8\x9C\xA9\xC3\xA9"),
            "Working on file ??????\?\xA9\xC3\xA9 : ");
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

TEST_F(driver, names_show_as_they_are_but_for_control_characters) {
  run_outcome r = run({"100%s%n%d.txt", "%", std::string("a \0\x1b[1A\r\n\x7f\xc2\x9b\xc2\xa9\xc3\x9b\xc2", 17)});
  EXPECT_EQ(r.text, HEAD +
                        "Working on file 100%S%N%D.TXT : failed, not a bsp file\n"
                        "Working on file %.BSP : failed, file not found\n"
                        "Working on file A ?"
                        "?[1A????\xc2\xa9\xc3\x9b\xc2.BSP : failed, file not found\n");
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
