#include "output.h"

#include <gtest/gtest.h>

namespace {

struct blocks {
  std::vector<size_t> sizes;
  std::string ends;  // the last byte of each
};

bool count(void *context, const char *data, size_t size) {
  static_cast<blocks *>(context)->sizes.push_back(size);
  static_cast<blocks *>(context)->ends += data[size - 1];
  return true;
}

TEST(output, redirected_output_goes_in_large_blocks_of_whole_lines) {
  blocks b;
  output out = make_output(count, &b, false, false);
  for (int i = 0; i < 10000; ++i) {  // lines of 100 bytes, each a text of 60 and one of 40
    write_text(out, std::string(60, 'x'));
    write_text(out, std::string(39, 'y') + '\n');
  }
  EXPECT_TRUE(flush_output(out));
  // A block goes as soon as one is full at a line's end, the rest at the end.
  const size_t block = (OUTPUT_BLOCK / 100 + 1) * 100;
  ASSERT_EQ(b.sizes.size(), 1000000u / block + 1);
  for (size_t i = 0; i + 1 < b.sizes.size(); ++i)
    EXPECT_EQ(b.sizes[i], block);
  EXPECT_EQ(b.sizes.back(), 1000000u % block);
  EXPECT_EQ(b.ends, std::string(b.sizes.size(), '\n'));
}

TEST(output, a_failed_sink_is_not_called_again) {
  int calls = 0;
  output out =
      make_output([](void *c, const char *, size_t) { return ++*static_cast<int *>(c), false; }, &calls, true, false);
  write_text(out, "a");
  write_text(out, "b");
  EXPECT_FALSE(flush_output(out));
  EXPECT_EQ(calls, 1);
}

}  // namespace
