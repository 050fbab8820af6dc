#include "map_patch.h"

#include <gtest/gtest.h>

#include "fake_fs.h"
#include "map_lookup.h"

namespace {

lookup_cache run_cache;  // one run's listings, as the driver keeps them

class map_patch : public ::testing::Test {
protected:
  void SetUp() override {
    reset_fake();
    run_cache = lookup_cache();
  }
};

patch_result patch(const std::string &argument_typed, const std::string &working) {
  return patch_map(working, argument_typed, fake_ops(), run_cache);
}

TEST_F(map_patch, writes_the_byte_at_offset_four_and_nothing_else) {
  fake().files["e1m1.bsp"].data = "ABCDEFGH";
  EXPECT_EQ(patch("e1m1.bsp", "E1M1.BSP"), patch_result::patched);
  EXPECT_EQ(fake().files["e1m1.bsp"].data, "ABCD*FGH");
  EXPECT_EQ(patch("e1m1.bsp", "E1M1.BSP"), patch_result::patched);  // already patched: written again
  EXPECT_EQ(fake().files["e1m1.bsp"].data, "ABCD*FGH");
}

TEST_F(map_patch, short_files_grow_to_five_bytes) {
  fake().files["A.BSP"].data = "";
  fake().files["B.BSP"].data = "xyz";
  EXPECT_EQ(patch("A.BSP", "A.BSP"), patch_result::patched);
  EXPECT_EQ(patch("B.BSP", "B.BSP"), patch_result::patched);
  EXPECT_EQ(fake().files["A.BSP"].data, std::string("\0\0\0\0*", 5));
  EXPECT_EQ(fake().files["B.BSP"].data, std::string("xyz\0*", 5));
}

TEST_F(map_patch, every_failing_step_has_its_result_and_writes_nothing) {
  struct step_case {
    fake_faults faults;
    fake_entry entry;
    patch_result want;
  };
  fake_faults none;
  fake_faults query = none, open = none, seek = none, write = none, short_write = none, close = none;
  query.query = open.open = seek.seek = write.write = short_write.short_write = close.close = true;
  fake_entry plain{"01234567", false, true};
  fake_entry read_only{"01234567", true, true};
  fake_entry directory{"01234567", false, false};
  const step_case cases[] = {
      {none, plain, patch_result::patched},          {query, plain, patch_result::not_found},
      {none, read_only, patch_result::not_writable}, {none, directory, patch_result::open_failed},
      {open, plain, patch_result::open_failed},      {seek, plain, patch_result::seek_failed},
      {write, plain, patch_result::write_failed},    {short_write, plain, patch_result::write_failed},
      {close, plain, patch_result::write_failed},
  };
  for (const step_case &c : cases) {
    reset_fake();
    fake().files["M.BSP"] = c.entry;
    fake().faults = c.faults;
    EXPECT_EQ(patch("m.bsp", "M.BSP"), c.want);
    const std::string &data = fake().files["M.BSP"].data;
    if (c.want == patch_result::patched || c.faults.close)
      EXPECT_EQ(data, "0123*567");
    else
      EXPECT_EQ(data, "01234567");
    EXPECT_EQ(fake().opens, fake().closes);
  }
  reset_fake();
  EXPECT_EQ(patch("gone.bsp", "GONE.BSP"), patch_result::not_found);
}

TEST_F(map_patch, every_open_is_closed_over_a_long_mixed_run) {
  int patched = 0;
  for (int i = 0; i < 3000; ++i) {
    fake().faults = fake_faults();
    fake().files["M.BSP"] = fake_entry{"0123456789", i % 7 == 3, i % 11 != 5};
    switch (i % 5) {
    case 1:
      fake().faults.seek = true;
      break;
    case 2:
      fake().faults.write = true;
      break;
    case 3:
      fake().faults.short_write = true;
      break;
    case 4:
      fake().faults.close = true;
      break;
    default:
      break;
    }
    if (patch("M.BSP", "M.BSP") == patch_result::patched)
      ++patched;
  }
  EXPECT_GT(patched, 0);
  EXPECT_GT(fake().opens, 2000);
  EXPECT_EQ(fake().opens, fake().closes);
}

TEST_F(map_patch, typed_name_comes_first_then_the_working_name) {
  fake().files["e1m1.bsp"].data = "aaaaaaa";
  fake().files["E1M1.BSP"].data = "bbbbbbb";
  EXPECT_EQ(patch("e1m1.bsp", "E1M1.BSP"), patch_result::patched);
  EXPECT_EQ(fake().files["e1m1.bsp"].data, "aaaa*aa");
  EXPECT_EQ(fake().files["E1M1.BSP"].data, "bbbbbbb");
  EXPECT_TRUE(fake().listed.empty());
  EXPECT_EQ(patch("E1m1.bsp", "E1M1.BSP"), patch_result::patched);
  EXPECT_EQ(fake().files["E1M1.BSP"].data, "bbbb*bb");
  EXPECT_TRUE(fake().listed.empty());
}

TEST_F(map_patch, finds_other_case_component_by_component) {
  fake().files["Maps/Episode1/e1M1.Bsp"].data = "0123456";
  EXPECT_EQ(patch("maps/episode1/E1M1.bsp", "MAPS/EPISODE1/E1M1.BSP"), patch_result::patched);
  EXPECT_EQ(fake().files["Maps/Episode1/e1M1.Bsp"].data, "0123*56");
  EXPECT_EQ(fake().listed, (std::vector<std::string>{".", "Maps", "Maps/Episode1"}));
  EXPECT_EQ(patch("./maps/episode1/e1m1.bsp", "./MAPS/EPISODE1/E1M1.BSP"), patch_result::patched);
  EXPECT_EQ(patch("maps/episode2/e1m1.bsp", "MAPS/EPISODE2/E1M1.BSP"), patch_result::not_found);
}

TEST_F(map_patch, ambiguous_case_match_finds_nothing_unless_one_is_exact) {
  fake().files["e1m1.Bsp"].data = "0123456";
  fake().files["E1m1.bsp"].data = "0123456";
  EXPECT_EQ(patch("e1M1.bsp", "E1M1.BSP"), patch_result::not_found);
  EXPECT_EQ(fake().files["e1m1.Bsp"].data, "0123456");
  EXPECT_EQ(fake().files["E1m1.bsp"].data, "0123456");
  fake().files["E1M1.BSP"].data = "0123456";
  EXPECT_EQ(patch("e1M1.bsp", "E1M1.BSP"), patch_result::patched);
  EXPECT_EQ(fake().files["E1M1.BSP"].data, "0123*56");
}

TEST_F(map_patch, each_directory_is_listed_once_while_unchanged) {
  char name[16];
  for (int i = 0; i < 1000; ++i) {
    snprintf(name, sizeof name, "maps/dm%04d.bsp", i);
    fake().files[name].data = "0123456";
  }
  for (int i = 0; i < 1000; ++i) {
    snprintf(name, sizeof name, "MAPS/DM%04d.BSP", i);
    ASSERT_EQ(patch(name, name), patch_result::patched) << name;
  }
  EXPECT_EQ(fake().listed, (std::vector<std::string>{".", "maps"}));
  EXPECT_EQ(fake().files["maps/dm0999.bsp"].data, "0123*56");

  // A new entry changes the directory: it is listed again, and what it now
  // shows decides, here a second match without regard to case.
  fake().files["maps/Dm0001.bsp"].data = "0123456";
  EXPECT_EQ(patch("MAPS/DM0001.BSP", "MAPS/DM0001.BSP"), patch_result::not_found);
  EXPECT_EQ(fake().listed, (std::vector<std::string>{".", "maps", "maps"}));
  EXPECT_EQ(fake().files["maps/Dm0001.bsp"].data, "0123456");
  fake().files["maps/new.bsp"].data = "0123456";
  EXPECT_EQ(patch("MAPS/NEW.BSP", "MAPS/NEW.BSP"), patch_result::patched);
  EXPECT_EQ(fake().files["maps/new.bsp"].data, "0123*56");
}

TEST_F(map_patch, an_entry_gone_from_an_unchanged_looking_directory_has_it_listed_again) {
  fake().coarse_clock = true;
  fake().files["maps/e1m1.bsp"].data = "0123456";
  EXPECT_EQ(patch("MAPS/E1M1.BSP", "MAPS/E1M1.BSP"), patch_result::patched);
  fake().files.erase("maps/e1m1.bsp");
  fake().files["maps/E1m1.Bsp"].data = "0123456";
  EXPECT_EQ(patch("MAPS/E1M1.BSP", "MAPS/E1M1.BSP"), patch_result::patched);
  EXPECT_EQ(fake().files["maps/E1m1.Bsp"].data, "0123*56");
  EXPECT_EQ(fake().listed, (std::vector<std::string>{".", "maps", "maps"}));
}

TEST_F(map_patch, no_listing_where_names_ignore_case) {
  fake().files["maps/e1m1.bsp"].data = "0123456";
  EXPECT_EQ(patch_map("MAPS/E1M1.BSP", "MAPS/E1M1.BSP", fake_ops_ignoring_case(), run_cache), patch_result::patched);
  EXPECT_EQ(fake().files["maps/e1m1.bsp"].data, "0123*56");
  EXPECT_EQ(patch_map("MAPS/E1M2.BSP", "maps/e1m2.bsp", fake_ops_ignoring_case(), run_cache), patch_result::not_found);
  EXPECT_TRUE(fake().listed.empty());
}

}  // namespace
