#include "shown_name.h"

#include <gtest/gtest.h>

namespace {

TEST(shown_name, what_a_terminal_would_act_on_shows_as_a_question_mark) {
  // A C1 control at the end of a name is one too; its lead byte alone there
  // stands alone, whatever follows it in memory.
  EXPECT_EQ(shown_name("a\xC2\x85"), "a?");
  EXPECT_EQ(shown_name(std::string_view("a\xC2\x85", 2)), "a\xC2");
  // 0x1F, a raw C1 byte outside UTF-8, a surrogate, a right-to-left override,
  // a line separator, a left-to-right isolate, an Arabic letter mark. Latin-1
  // and UTF-8 letters stay.
  EXPECT_EQ(shown_name("\x1F\x9B\xED\xA0\x9B\xE2\x80\xAE\xE2\x80\xA8\xE2\x81\xA6\xD8\x9C\xA9\xC3\xA9"),
            "??????\?\xA9\xC3\xA9");
  // What shows as nothing: U+200B, U+2069, U+FEFF, a tag (U+E0041) and
  // U+3164; U+2070, U+FFFD and U+F0000, past every such range, show.
  EXPECT_EQ(shown_name("\u200B\u2069\uFEFF\U000E0041\u3164\u2070\uFFFD\U000F0000"), "?????\u2070\uFFFD\U000F0000");
  // Printable ASCII needs no closer look; the bytes just outside it do.
  EXPECT_TRUE(shows_as_it_is(" AZ~") && !shows_as_it_is("\x1F") && !shows_as_it_is("\x7F"));
}

}  // namespace
