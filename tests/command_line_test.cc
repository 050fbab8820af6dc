#include "command_line.h"

#include <gtest/gtest.h>

namespace {

using words = std::vector<std::string>;

TEST(command_line, splits_at_blanks_and_tabs_outside_quotes) {
  EXPECT_EQ(split_command_line("tool e1m1 e1m2"), (words{"tool", "e1m1", "e1m2"}));
  EXPECT_EQ(split_command_line("tool\t\te1m1  "), (words{"tool", "e1m1"}));
  EXPECT_EQ(split_command_line(""), words{""});
}

TEST(command_line, program_word_is_read_as_the_system_reads_it) {
  // The program may be given apart from its line; a line that starts with a blank names none.
  EXPECT_EQ(split_command_line("  e1m1\te2m2 "), (words{"", "e1m1", "e2m2"}));
  EXPECT_EQ(split_command_line(" \t "), words{""});
  // A backslash before a quote escapes nothing in the program's word.
  EXPECT_EQ(split_command_line("\"C:\\my tools\\\"olum2zavik.exe \"my maps\\e1m1\""),
            (words{"C:\\my tools\\olum2zavik.exe", "my maps\\e1m1"}));
  EXPECT_EQ(split_command_line("\"C:\\my tools\\\"o.exe e1m1"), (words{"C:\\my tools\\o.exe", "e1m1"}));
  EXPECT_EQ(split_command_line("a\\\"b c\" d"), (words{"a\\b c", "d"}));
  EXPECT_EQ(split_command_line("\"\" e1m1"), (words{"", "e1m1"}));
}

TEST(command_line, quotes_join_and_vanish) {
  EXPECT_EQ(split_command_line("tool \"my maps\\e1m1.bsp\""), (words{"tool", "my maps\\e1m1.bsp"}));
  EXPECT_EQ(split_command_line("tool a\"b c\"d"), (words{"tool", "ab cd"}));
  EXPECT_EQ(split_command_line("tool \"\" x"), (words{"tool", "", "x"}));
  EXPECT_EQ(split_command_line("tool \"\"\"\""), (words{"tool", ""}));
  EXPECT_EQ(split_command_line("tool \"open ended"), (words{"tool", "open ended"}));
  EXPECT_EQ(split_command_line("tool \"\t\""), (words{"tool", "\t"}));
}

TEST(command_line, backslash_quote_is_a_literal_quote) {
  EXPECT_EQ(split_command_line("tool a\\\"b"), (words{"tool", "a\"b"}));
  EXPECT_EQ(split_command_line("tool \"a\\\" b\""), (words{"tool", "a\" b"}));
  EXPECT_EQ(split_command_line("tool \\\""), (words{"tool", "\""}));
}

TEST(command_line, characters_outside_ascii_are_plain_bytes) {
  // In UTF-8 no byte of such a character is a blank, a quote or a backslash.
  EXPECT_EQ(split_command_line(u8"tool \"マップ 1\" ソ 表\t a＂ ..＼v.bsp＂"),
            (words{"tool", u8"マップ 1", u8"ソ", u8"表", u8"a＂", u8"..＼v.bsp＂"}));
}

TEST(command_line, other_backslashes_stay) {
  EXPECT_EQ(split_command_line("tool c:\\maps\\ \\\\x\\"), (words{"tool", "c:\\maps\\", "\\\\x\\"}));
  EXPECT_EQ(split_command_line("tool a\\\\\"b c\""), (words{"tool", "a\\\"b", "c"}));
}

}  // namespace
