#include "output.h"

#include <gtest/gtest.h>

namespace {

struct blocks {
  std::vector<size_t> sizes;
};

bool count(void *context, const char *, size_t size) {
  static_cast<blocks *>(context)->sizes.push_back(size);
  return true;
}

TEST(output, redirected_output_goes_in_large_blocks) {
  blocks b;
  output out = make_output(count, &b, false, false);
  std::string line(64, 'x');
  for (int i = 0; i < 10000; ++i)
    write_text(out, line);
  EXPECT_TRUE(flush_output(out));
  // Whole blocks as soon as one is full, the rest at the end.
  ASSERT_EQ(b.sizes.size(), 640000u / OUTPUT_BLOCK + 1);
  for (size_t i = 0; i + 1 < b.sizes.size(); ++i)
    EXPECT_EQ(b.sizes[i], OUTPUT_BLOCK);
  EXPECT_EQ(b.sizes.back(), 640000u % OUTPUT_BLOCK);
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
