#include "wtf8.h"

#include <gtest/gtest.h>

namespace {

std::u16string back(const std::string &bytes) {
  std::u16string units;
  EXPECT_TRUE(utf16_from_wtf8(bytes, &units)) << bytes;
  return units;
}

TEST(wtf8, every_code_unit_comes_back_exactly_lone_surrogates_included) {
  for (char32_t u = 0; u <= 0xFFFF; ++u) {
    std::u16string units = {u'a', static_cast<char16_t>(u), u'.'};
    ASSERT_EQ(back(wtf8_from_utf16(units)), units) << static_cast<unsigned>(u);
  }
  const std::u16string sequences[] = {
      {0xD83D, 0xDE00},          // a pair: one character
      {0xDE00, 0xD83D},          // the wrong way round: two lone halves
      {0xD800, 0xD800, 0xDC00},  // a lone high surrogate, then a pair
      {0xDBFF, 0xDFFF, 0xDC00},  // the last character, then a lone low surrogate
  };
  for (const std::u16string &units : sequences)
    EXPECT_EQ(back(wtf8_from_utf16(units)), units);
}

TEST(wtf8, bytes_are_utf8_where_the_text_is_valid) {
  EXPECT_EQ(wtf8_from_utf16(u"E1M1.BSP"), "E1M1.BSP");
  EXPECT_EQ(wtf8_from_utf16(u"\u30BD\u0142"), "\xE3\x82\xBD\xC5\x82");
  EXPECT_EQ(wtf8_from_utf16(std::u16string{0xD83D, 0xDE00}), "\xF0\x9F\x98\x80");
  EXPECT_EQ(wtf8_from_utf16(std::u16string{0xD800, 0xDC00}), "\xF0\x90\x80\x80");  // the first pair
  EXPECT_EQ(wtf8_from_utf16(std::u16string{0xDBFF, 0xDFFF}), "\xF4\x8F\xBF\xBF");  // the last
  EXPECT_EQ(wtf8_from_utf16(std::u16string{0xD800}), "\xED\xA0\x80");
  // A high surrogate at the end stands alone, whatever follows it in memory.
  const std::u16string pair = {0xD83D, 0xDE00};
  EXPECT_EQ(wtf8_from_utf16(std::u16string_view(pair.data(), 1)), "\xED\xA0\xBD");
}

TEST(wtf8, the_units_are_those_of_the_bytes_alone) {
  std::u16string units = u"left over";
  EXPECT_TRUE(utf16_from_wtf8("E1M1", &units));
  EXPECT_EQ(units, u"E1M1");
}

TEST(wtf8, bytes_that_are_no_wtf8_name_nothing) {
  for (const char *bad : {"\xFF", "\x80", "\xC0\xAF", "\xE3\x82", "\xC3\x28", "\xE3\x82\xC3", "\xE0\x80\xAF",
                          "\xF4\x90\x80\x80", "\xF5\x80\x80\x80"}) {
    std::u16string units;
    EXPECT_FALSE(utf16_from_wtf8(std::string("a") + bad, &units)) << bad;
    EXPECT_EQ(units.substr(0, 2), u"a\uFFFD") << bad;
  }
}

}  // namespace
