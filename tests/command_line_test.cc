#include "command_line.h"

#include <gtest/gtest.h>

namespace {

using words = std::vector<std::string>;

TEST(command_line, splits_at_blanks_and_tabs_outside_quotes) {
  EXPECT_EQ(split_command_line("tool e1m1 e1m2"), (words{"tool", "e1m1", "e1m2"}));
  EXPECT_EQ(split_command_line("  tool\t\te1m1  "), (words{"tool", "e1m1"}));
  EXPECT_EQ(split_command_line(""), words{});
  EXPECT_EQ(split_command_line(" \t "), words{});
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

TEST(command_line, other_backslashes_stay) {
  EXPECT_EQ(split_command_line("tool c:\\maps\\ \\\\x\\"), (words{"tool", "c:\\maps\\", "\\\\x\\"}));
  EXPECT_EQ(split_command_line("tool a\\\\\"b c\""), (words{"tool", "a\\\"b", "c"}));
}

}  // namespace
