#include "map_lookup.h"

#include <gtest/gtest.h>

#include "fake_fs.h"

namespace {

std::optional<file_system> run;  // one run's view of the fake, its listings kept from name to name

class map_lookup : public ::testing::Test {
protected:
  void SetUp() override {
    reset_fake();
    run.reset();
  }
};

// The path found for an argument, or "" where none is.
std::string found(const std::string &argument) {
  if (!run)
    run.emplace(fake_file_system());
  std::string working = make_working_name(argument, run->paths);
  found_file file;
  return find_file({argument, working}, *run, &file) ? std::string(file.path) : "";
}

using names = std::vector<std::string>;

TEST_F(map_lookup, typed_name_comes_first_then_the_working_name) {
  fake().files["e1m1.bsp"].data = "a";
  fake().files["E1M1.BSP"].data = "b";
  EXPECT_EQ(found("e1m1"), "e1m1.bsp");
  EXPECT_EQ(found("E1m1.bsp"), "E1M1.BSP");
  EXPECT_TRUE(fake().listed.empty());
}

TEST_F(map_lookup, other_case_is_found_component_by_component) {
  fake().files["Maps/Episode1/e1M1.Bsp"].data = "a";
  EXPECT_EQ(found("maps/episode1/E1M1.bsp"), "Maps/Episode1/e1M1.Bsp");
  EXPECT_EQ(fake().listed, (names{".", "Maps", "Maps/Episode1"}));
  EXPECT_EQ(found("./maps//episode1/e1m1"), "Maps/Episode1/e1M1.Bsp");
  EXPECT_EQ(fake().listed, (names{".", "Maps", "Maps/Episode1"}));  // the same folders, listed once
  EXPECT_EQ(found("maps/episode2/e1m1.bsp"), "");
  fake().files["../Up/e1m2.bsp"].data = "b";  // the fake keeps a path as it stands
  EXPECT_EQ(found("../up/e1m2"), "../Up/e1m2.bsp");
}

// Each name is queried once: the whole names, then the last component's
// exact names but for those just tried, then the one match of its folder. A
// folder on the way is looked at by its status alone.
TEST_F(map_lookup, no_name_is_queried_twice) {
  fake().files["maps/E1m1.Bsp"].data = "a";
  EXPECT_EQ(found("maps/e1m1"), "maps/E1m1.Bsp");
  EXPECT_EQ(fake().queries, 4);  // maps/e1m1.bsp, MAPS/E1M1.BSP, maps/E1M1.BSP, maps/E1m1.Bsp
  fake().queries = 0;
  EXPECT_EQ(found("MAPS/E1M1"), "maps/E1m1.Bsp");
  EXPECT_EQ(fake().queries, 5);  // the two whole names, maps/E1M1.bsp, maps/E1M1.BSP, maps/E1m1.Bsp
  // A link to nothing under the very name typed: no listing can find more.
  fake().files["maps/gone.bsp"].leads_nowhere = true;
  fake().queries = 0;
  EXPECT_EQ(found("maps/gone"), "");
  EXPECT_EQ(fake().queries, 2);
  fake().queries = 0;  // typed as the working name: one whole name
  EXPECT_EQ(found("MAPS/E1M1.BSP"), "maps/E1m1.Bsp");
  EXPECT_EQ(fake().queries, 3);
}

TEST_F(map_lookup, more_than_one_match_finds_nothing_unless_one_is_exact) {
  fake().files["e1m1.Bsp"].data = "a";
  fake().files["E1m1.bsp"].data = "b";
  EXPECT_EQ(found("e1M1.bsp"), "");
  fake().files["E1M1.BSP"].data = "c";
  EXPECT_EQ(found("e1M1.bsp"), "E1M1.BSP");
}

TEST_F(map_lookup, a_listing_that_fails_part_way_finds_nothing_and_is_not_kept) {
  fake().files["maps/E1m1.bsp"].data = "a";
  fake().files["maps/e1M1.bsp"].data = "b";  // the listing fails before this one
  fake().failing = fault::listing;
  EXPECT_EQ(found("maps/e1m1"), "");
  fake().failing = fault::none;
  fake().files.erase("maps/E1m1.bsp");
  EXPECT_EQ(found("maps/e1m1"), "maps/e1M1.bsp");
}

TEST_F(map_lookup, each_directory_is_listed_once_while_unchanged) {
  char name[16];
  for (int i = 0; i < 1000; ++i) {
    snprintf(name, sizeof name, "maps/dm%04d.bsp", i);
    fake().files[name].leads_nowhere = i % 2 == 1;  // half of them links to nothing, costing no listing
  }
  for (int i = 0; i < 1000; ++i) {
    snprintf(name, sizeof name, "MAPS/DM%04d", i);
    ASSERT_EQ(found(name) != "", i % 2 == 0) << name;
  }
  // A new entry changes the directory: it is listed again, and what it now
  // shows decides, here a second match without regard to case.
  fake().files["maps/Dm0001.bsp"].data = "b";
  EXPECT_EQ(found("MAPS/DM0001"), "");
  fake().files["E1m9.Bsp"].data = "c";  // and so in the folder the walk starts in
  EXPECT_EQ(found("e1m9"), "E1m9.Bsp");
  EXPECT_EQ(fake().listed, (names{".", "maps", "maps", "."}));

  // A folder that may be listed but not searched hides every entry alike.
  fake().files["LOCKED/dm0001.bsp"].data = fake().files["LOCKED/dm0002.bsp"].data = "a";
  fake().unsearchable = "LOCKED";
  EXPECT_EQ(found("LOCKED/DM0001.BSP") + found("LOCKED/DM0002.BSP"), "");
  EXPECT_EQ(fake().listed, (names{".", "maps", "maps", ".", "LOCKED"}));
}

TEST_F(map_lookup, a_change_that_only_the_change_time_shows_has_the_directory_listed_again) {
  fake().mtime_restored = true;  // as after tar sets a directory's time back
  fake().files["maps/e1m1.bsp"].data = "a";
  EXPECT_EQ(found("MAPS/E1M1"), "maps/e1m1.bsp");
  fake().files["maps/e1m2.bsp"].data = "b";
  EXPECT_EQ(found("MAPS/E1M2"), "maps/e1m2.bsp");
}

TEST_F(map_lookup, an_entry_gone_from_an_unchanged_looking_directory_has_it_listed_again) {
  fake().coarse_clock = true;
  fake().files["maps/e1m1.bsp"].data = "a";
  EXPECT_EQ(found("MAPS/E1M1"), "maps/e1m1.bsp");
  fake().files.erase("maps/e1m1.bsp");
  fake().files["maps/E1m1.Bsp"].data = "b";
  EXPECT_EQ(found("MAPS/E1M1"), "maps/E1m1.Bsp");
  EXPECT_EQ(fake().listed, (names{".", "maps", "maps"}));
}

TEST_F(map_lookup, where_names_ignore_case_the_typed_name_then_the_working_name_is_used) {
  fake().names_differ_by_case = false;
  fake().files["maps/e1m1.bsp"].data = "a";
  EXPECT_EQ(found("Maps/E1m1"), "Maps/E1m1.bsp");
  EXPECT_EQ(found("maps/e1m2"), "");
  EXPECT_TRUE(fake().listed.empty());
}

}  // namespace
