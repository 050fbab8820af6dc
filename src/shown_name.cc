#include "shown_name.h"

#include "wtf8.h"

namespace {

// Characters that would change how a line reads instead of showing in it:
// C0 and C1 controls and DEL, the marks and embeddings that reorder text laid
// out in both directions, the line and paragraph separators, and surrogates,
// which are no characters at all.
bool is_hidden(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200E || c == 0x200F ||
         (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || (c >= 0xD800 && c <= 0xDFFF);
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
  shown.reserve(name.size());
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
