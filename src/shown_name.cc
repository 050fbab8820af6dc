#include "shown_name.h"

#include "wtf8.h"

namespace {

struct code_points {
  char32_t first, last;
};

// Characters that would change how a line reads instead of showing in it,
// in order: the C0 and C1 controls and DEL; the line and paragraph
// separators; surrogates, which are no characters at all; and every
// character that Unicode would have a terminal show as nothing
// (Default_Ignorable_Code_Point: zero-width spaces and joiners, the marks,
// embeddings and isolates that reorder text laid out in both directions, the
// soft hyphen, fillers, variation selectors, tags).
constexpr code_points HIDDEN[] = {
    {0x0000, 0x001F}, {0x007F, 0x009F}, {0x00AD, 0x00AD},   {0x034F, 0x034F},   {0x061C, 0x061C},
    {0x115F, 0x1160}, {0x17B4, 0x17B5}, {0x180B, 0x180F},   {0x200B, 0x200F},   {0x2028, 0x202E},
    {0x2060, 0x206F}, {0x3164, 0x3164}, {0xD800, 0xDFFF},   {0xFE00, 0xFE0F},   {0xFEFF, 0xFEFF},
    {0xFFA0, 0xFFA0}, {0xFFF0, 0xFFF8}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF},
};

// The first range that ends at c or after decides.
bool is_hidden(char32_t c) {
  for (const code_points &range : HIDDEN)
    if (c <= range.last)
      return c >= range.first;
  return false;
}

}  // namespace

bool shows_as_it_is(std::string_view name) {
  // Printable ASCII shows as it is; any other byte needs a closer look.
  for (char c : name)
    if (static_cast<unsigned char>(c - 0x20) >= 0x5F)
      return false;
  return true;
}

std::string shown_name(std::string_view name) {
  std::string shown;
  for (size_t at = 0; at < name.size();) {
    size_t start = at;
    char32_t c = 0;
    // A byte that starts no sequence stands for itself: 0x80 to 0x9F is a C1
    // control to a terminal that reads eight bits.
    if (!wtf8_decode(name, &at, &c))
      c = static_cast<unsigned char>(name[at++]);
    if (is_hidden(c))
      shown += '?';
    else
      shown.append(name, start, at - start);
  }
  return shown;
}
