#include "map_name.h"

#include <gtest/gtest.h>

namespace {

enum applies_to { BOTH, POSIX_ONLY, WIN32_ONLY };

struct name_case {
  const char *argument;
  const char *working;
  bool map;
  applies_to on = BOTH;
};

const name_case NAME_CASES[] = {
    {"e1m1", "E1M1.BSP", true},
    {"e1m1.bsp", "E1M1.BSP", true},
    {"E1M1.Bsp", "E1M1.BSP", true},
    {"e1m1.map", "E1M1.MAP", false},
    {"bsp_notes.txt", "BSP_NOTES.TXT", false},
    {"e1m1.bsp.bak", "E1M1.BSP.BAK", false},
    {"../maps/e1m1.bsp", "../MAPS/E1M1.BSP", true},
    {"maps.v2/e1m1", "MAPS.V2/E1M1.BSP", true},
    {".bsp", ".BSP.BSP", true},
    {"..bsp", "..BSP", true},
    {"maps/.bsp", "MAPS/.BSP.BSP", true},
    {"e1m1.", "E1M1.", false},
    {"", ".BSP", false},
    {"bsp", "BSP.BSP", true},
    {"e1m1.bspx", "E1M1.BSPX", false},
    {"e1m1.xbsp", "E1M1.XBSP", false},
    {"100%s", "100%S.BSP", true},
    {"maps/", "MAPS/.BSP", false},
    // A backslash separates only on Win32; elsewhere it is a byte of the name.
    {"..\\maps\\e1m1", "..\\MAPS\\E1M1.BSP", true, WIN32_ONLY},
    {"..\\maps\\e1m1", "..\\MAPS\\E1M1", false, POSIX_ONLY},
    {"a.b\\c", "A.B\\C.BSP", true, WIN32_ONLY},
    {"a.b\\c", "A.B\\C", false, POSIX_ONLY},
    {"x\\.bsp", "X\\.BSP.BSP", true, WIN32_ONLY},
    {"x\\.bsp", "X\\.BSP", true, POSIX_ONLY},
    // A drive prefix stands before the last component on Win32 only.
    {"Z:", "Z:.BSP", false, WIN32_ONLY},
    {"z:.bsp", "Z:.BSP.BSP", true, WIN32_ONLY},
    {"z:e1m1", "Z:E1M1.BSP", true, WIN32_ONLY},
    {"z:.bsp", "Z:.BSP", true, POSIX_ONLY},
    {"1:.bsp", "1:.BSP", true, WIN32_ONLY},
    // UTF-8: no byte of a character is a dot, a separator or a letter.
    {u8"ソ", u8"ソ.BSP", true},      // 0x83 0x5C in code page 932
    {u8"ト.bsp", u8"ト.BSP", true},  // 0x83 0x67 in code page 932
    {u8"łódź", u8"łóDź.BSP", true},  // letters outside ASCII keep their case
    {u8"a＂ ..＼v.bsp", u8"A＂ ..＼V.BSP", true},
};

TEST(map_name, working_names_and_map_test) {
  for (const name_case &c : NAME_CASES) {
    for (applies_to on : {POSIX_ONLY, WIN32_ONLY}) {
      if (c.on != BOTH && c.on != on)
        continue;
      path_syntax paths = on == POSIX_ONLY ? path_syntax::posix : path_syntax::win32;
      EXPECT_EQ(make_working_name(c.argument, paths), c.working) << c.argument << " " << on;
      EXPECT_EQ(is_map_name(c.working, paths), c.map) << c.working << " " << on;
    }
  }
}

TEST(map_name, a_drive_stands_before_the_last_component) {
  // A drive is one ASCII letter, in either case, and a colon.
  for (const char *drive : {"A:.x", "Z:.x", "a:.x", "z:.x"})
    EXPECT_FALSE(has_extension(drive, path_syntax::win32)) << drive;
  for (const char *no_drive : {"@:.x", "[:.x", "`:.x", "{:.x", "ab:.x"})
    EXPECT_TRUE(has_extension(no_drive, path_syntax::win32)) << no_drive;
}

TEST(map_name, only_a_to_z_change_case) {
  for (int b = 1; b < 256; ++b) {
    auto c = static_cast<char>(b);
    EXPECT_EQ(upper_byte(c), c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c) << "byte " << b;
  }
}

TEST(map_name, typed_name_keeps_the_case_as_typed) {
  for (auto [argument, typed] :
       {std::pair{"e1m1", "e1m1.bsp"}, {"Maps/E1m1", "Maps/E1m1.bsp"}, {"e1m1.BSP", "e1m1.BSP"}, {"", ".bsp"}}) {
    std::string working = make_working_name(argument, path_syntax::posix);
    EXPECT_EQ(make_typed_name({argument, working}), typed);
  }
}

}  // namespace
