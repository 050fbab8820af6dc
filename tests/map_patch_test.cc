#include "map_patch.h"

#include <gtest/gtest.h>

#include "fake_fs.h"

namespace {

patch_result patch(const std::string &argument, const std::string &working) {
  file_system fs = fake_file_system();
  return patch_map({argument, working}, fs);
}

// Each fault of a call, and each thing the system tells of a file, against
// the result, the file's bytes afterwards and whether the file was opened.
TEST(map_patch, the_first_step_that_fails_decides_and_only_a_map_is_written) {
  struct step_case {
    const char *what;
    fault failing;
    fake_entry entry;
    patch_result want;
    const char *left;
    bool opened;
    const char *report_to = "";  // the file the report goes to
  };
  fake_entry map;
  map.data = "01234567";
  fake_entry read_only = map, directory = map, link_out = map, alias = map, swapped = map, nowhere = map;
  read_only.read_only = true;
  nowhere.leads_nowhere = true;              // a link to nothing, or in a loop
  directory.regular_file = false;            // or a FIFO, or a device
  link_out.link_target = "../home/.bashrc";  // a link that leads out to a file that is no map
  alias.own_name = "C:\\maps\\E1M1.BSPX";    // a short name or a link, seen once opened
  swapped.opens_read_only = true;            // a protected file swapped in after the query
  link_out.read_only = true;                 // its name is judged first, whoever runs the tool
  const step_case cases[] = {
      {"plain map", fault::none, map, patch_result::patched, "0123*567", true},
      {"query fails", fault::query, map, patch_result::not_found, "01234567", false},
      {"read-only mark", fault::none, read_only, patch_result::not_writable, "01234567", false},
      {"no regular file", fault::none, directory, patch_result::open_failed, "01234567", false},
      {"link to no map", fault::none, link_out, patch_result::open_failed, "01234567", false},
      {"link to nothing", fault::none, nowhere, patch_result::not_found, "01234567", false},
      {"the report's own file", fault::none, map, patch_result::open_failed, "01234567", true, "M.BSP"},
      {"open fails", fault::open, map, patch_result::open_failed, "01234567", false},
      {"own name no map", fault::none, alias, patch_result::open_failed, "01234567", true},
      {"protected once open", fault::none, swapped, patch_result::not_writable, "01234567", true},
      {"offset refused", fault::bad_offset, map, patch_result::seek_failed, "01234567", true},
      {"write fails", fault::write, map, patch_result::write_failed, "01234567", true},
      {"close fails", fault::close, map, patch_result::write_failed, "0123*567", true},
  };
  for (const step_case &c : cases) {
    reset_fake();
    fake().files["M.BSP"] = c.entry;
    fake().failing = c.failing;
    fake().report_to = c.report_to;
    EXPECT_EQ(patch("m.bsp", "M.BSP"), c.want) << c.what;
    EXPECT_EQ(fake().files["M.BSP"].data, c.left) << c.what;
    EXPECT_EQ(fake().opens, c.opened ? 1 : 0) << c.what;
    EXPECT_EQ(fake().closes, fake().opens) << c.what;
  }
}

}  // namespace
