#include "win32_paths.h"

#include <gtest/gtest.h>

namespace {

// Every spelling of the object space, of devices and of streams is refused
// from the text alone, but for one that leads to a drive or a share's file.
TEST(win32_paths, only_a_path_to_a_file_is_a_file) {
  for (std::u16string_view path :
       {u"e1m1.bsp", u"C:\\maps\\e1m1.bsp", u"\\\\?\\C:\\e1m1.bsp", u"\\??\\c:\\e1m1.bsp", u"//?/C:/e1m1.bsp",
        u"\\\\.\\C:\\e1m1.bsp", u"\\\\?\\unc\\server\\share\\e1m1.bsp", u"\\\\s\\pipes\\x", u"com0.bsp", u"COM10.BSP",
        u"console.bsp", u"nulx.bsp", u"lpt\u00B4.bsp", u"maps.con\\e1m1.bsp"})
    EXPECT_EQ(kind_of_path(path), name_kind::file) << std::string(path.begin(), path.end());
  for (std::u16string_view path :
       {u"\\??\\PIPE\\X.BSP", u"//?/PIPE/X.BSP", u"\\\\.\\COM1", u"\\\\?\\GLOBALROOT\\Device\\Null.bsp", u"\\\\?\\C:",
        u"\\\\localhost\\pipe\\x", u"//127.0.0.1/PIPE/X.BSP", u"\\\\?\\UNC\\localhost\\pipe\\x", u"\\\\s\\MailSlot\\x",
        u"con", u"NUL.BSP", u"nul .bsp", u"maps\\COM1.BSP", u"z:aux.bsp", u"lpt\u00B9.bsp", u"CONOUT$.bsp",
        u"e1m1:x.bsp"})
    EXPECT_EQ(kind_of_path(path), name_kind::device) << std::string(path.begin(), path.end());
  EXPECT_TRUE(is_verbatim(u"\\??\\C:\\e1m1.bsp") && !is_verbatim(u"\\\\.\\C:\\e1m1.bsp"));
}

// A name and its full path both shorter than MAX_PATH go as given; else the
// full path in the long form that the system reads as the same file.
TEST(win32_paths, a_long_path_goes_in_its_long_form) {
  const std::u16string deep = u"\\" + std::u16string(300, u'd') + u"\\e1m1.bsp", full = u"C:\\maps\\e1m1.bsp";
  const std::u16string cases[][3] = {
      {u"e1m1.bsp", full, u"e1m1.bsp"},
      {u"..\\" + deep, full, full},
      {u"e1m1.bsp", u"C:" + deep, u"\\\\?\\C:" + deep},
      {u"e1m1.bsp", u"\\\\server\\share" + deep, u"\\\\?\\UNC\\server\\share" + deep},
      {u"e1m1.bsp", u"\\\\?\\C:" + deep, u"\\\\?\\C:" + deep},
      {u"\\\\.\\Z:" + deep, u"\\\\.\\Z:" + deep, u"\\\\?\\Z:" + deep},
  };
  for (const auto &c : cases)
    EXPECT_TRUE(call_path(c[0], c[1]) == c[2]) << std::string(c[1].begin(), c[1].begin() + 20);
}

}  // namespace
