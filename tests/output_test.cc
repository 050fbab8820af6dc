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

// Lines written as a progress text and a verdict: first 1,024 of 64 bytes,
// which fill a block to the byte, then 700 of 100, one of which crosses the
// next block's end.
TEST(output, redirected_output_goes_in_large_blocks_of_whole_lines) {
  blocks b;
  output out = make_output(count, &b, false, false);
  for (size_t i = 0; i < 1724; ++i) {
    size_t line = i < 1024 ? 64 : 100;
    write_text(out, std::string(line - 40, 'x'));
    write_text(out, std::string(39, 'y') + '\n');
  }
  EXPECT_TRUE(flush_output(out));
  EXPECT_EQ(b.sizes, (std::vector<size_t>{OUTPUT_BLOCK, 65600, 4400}));
  EXPECT_EQ(b.ends, "\n\n\n");
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
