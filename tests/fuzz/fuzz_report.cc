// A report line against a model of what it may show: the name, with each
// character that a terminal would act on rather than show as "?", and nothing
// else changed; the usage text shows the program's path exactly. The model
// reads UTF-8 with the C library's own decoder.
#include <clocale>
#include <cstdlib>
#include <cwchar>
#include <locale.h>
#include <string>

#include "report.h"

namespace {

bool model_hidden(unsigned long c) {
  static const unsigned long RANGES[][2] = {{0, 0x1F},        {0x7F, 0x9F},     {0x61C, 0x61C},  {0x200E, 0x200F},
                                            {0x2028, 0x202E}, {0x2066, 0x2069}, {0xD800, 0xDFFF}};
  for (const unsigned long *range : RANGES)
    if (c >= range[0] && c <= range[1])
      return true;
  return false;
}

std::string model_shown(const std::string &name) {
  static const locale_t UTF8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
  uselocale(UTF8);
  std::string shown;
  for (size_t at = 0; at < name.size();) {
    std::mbstate_t state{};
    wchar_t c = 0;
    size_t n = std::mbrtowc(&c, name.data() + at, name.size() - at, &state);
    auto byte = [&](size_t i) { return at + i < name.size() ? static_cast<unsigned char>(name[at + i]) : 0u; };
    unsigned long value = static_cast<unsigned long>(c);
    if (n == 0) {  // a NUL byte
      n = 1;
      value = 0;
    } else if (n > 4 || value > 0x10FFFF) {  // no UTF-8: one byte, for itself
      bool surrogate = byte(0) == 0xED && byte(1) >= 0xA0 && byte(1) <= 0xBF && (byte(2) & 0xC0) == 0x80;
      n = surrogate ? 3 : 1;
      value = surrogate ? 0xD800 : byte(0);
    }
    shown += model_hidden(value) ? std::string("?") : name.substr(at, n);
    at += n;
  }
  return shown;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size) {
  std::string name(reinterpret_cast<const char *>(data), size);
  if (progress_text(name) != "Working on file " + model_shown(name) + " : ")
    abort();
  if (usage_text(name) != banner_text() + "\nusage : " + name + " <file[.bsp]> [<file[.bsp]>] [...]\n")
    abort();
  // Two values: the first may hold "%s" and must not swallow the second.
  if (fill_pattern("[%s|%s]", {name, "x"}) != "[" + name + "|x]")
    abort();
  return 0;
}
