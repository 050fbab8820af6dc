#include "map_name.h"

#include <gtest/gtest.h>

namespace {

struct name_case {
  const char *argument;
  const char *working;
  bool map;
};

const name_case NAME_CASES[] = {
    {"e1m1", "E1M1.BSP", true},
    {"e1m1.bsp", "E1M1.BSP", true},
    {"E1M1.Bsp", "E1M1.BSP", true},
    {"e1m1.map", "E1M1.MAP", false},
    {"bsp_notes.txt", "BSP_NOTES.TXT", false},
    {"e1m1.bsp.bak", "E1M1.BSP.BAK", false},
    {"../maps/e1m1.bsp", "../MAPS/E1M1.BSP", true},
    {"..\\maps\\e1m1", "..\\MAPS\\E1M1.BSP", true},
    {"maps.v2/e1m1", "MAPS.V2/E1M1.BSP", true},
    {".bsp", ".BSP.BSP", true},
    {"maps/.bsp", "MAPS/.BSP.BSP", true},
    {"e1m1.", "E1M1.", false},
    {"", ".BSP", false},
    {"bsp", "BSP.BSP", true},
    {"e1m1.bspx", "E1M1.BSPX", false},
    {"e1m1.xbsp", "E1M1.XBSP", false},
    {"100%s", "100%S.BSP", true},
    {"maps/", "MAPS/.BSP", false},
};

TEST(map_name, working_names_and_map_test) {
  for (const name_case &c : NAME_CASES) {
    EXPECT_EQ(make_working_name(c.argument), c.working) << c.argument;
    EXPECT_EQ(is_map_name(c.working), c.map) << c.working;
  }
}

TEST(map_name, extension_sits_in_the_last_component_only) {
  EXPECT_FALSE(has_extension(""));
  EXPECT_FALSE(has_extension(".bsp"));
  EXPECT_FALSE(has_extension("maps.v2/e1m1"));
  EXPECT_FALSE(has_extension("maps.v2\\e1m1"));
  EXPECT_TRUE(has_extension("e1m1."));
  EXPECT_TRUE(has_extension("..bsp"));
  EXPECT_TRUE(has_extension("../e1m1.x"));
}

TEST(map_name, only_a_to_z_change_case) {
  std::string all;
  for (int b = 1; b < 256; ++b)
    all += static_cast<char>(b);
  std::string upper = upper_case(all);
  ASSERT_EQ(upper.size(), all.size());
  for (size_t i = 0; i < all.size(); ++i) {
    char c = all[i];
    char want = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
    EXPECT_EQ(upper[i], want) << "byte " << i + 1;
  }
}

TEST(map_name, long_names_get_the_extension_uncut) {
  for (size_t length : {258u, 259u, 260u, 261u, 4096u, 100000u}) {
    std::string argument(length, 'a');
    std::string working = make_working_name(argument);
    EXPECT_EQ(working, std::string(length, 'A') + ".BSP");
    EXPECT_TRUE(is_map_name(working));
  }
}

TEST(map_name, typed_name_keeps_the_case_as_typed) {
  EXPECT_EQ(typed_name("e1m1"), "e1m1.bsp");
  EXPECT_EQ(typed_name("Maps/E1m1"), "Maps/E1m1.bsp");
  EXPECT_EQ(typed_name("e1m1.BSP"), "e1m1.BSP");
  EXPECT_EQ(typed_name(""), ".bsp");
}

}  // namespace
