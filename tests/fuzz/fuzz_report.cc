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
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x61C || c == 0x200E || c == 0x200F ||
         (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || (c >= 0xD800 && c <= 0xDFFF);
}

// A byte that starts no UTF-8 character stands for itself; an encoded
// surrogate, which the C library refuses, is one character of three bytes.
std::string model_shown(const std::string &name) {
  static const locale_t UTF8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
  uselocale(UTF8);
  std::string shown;
  for (size_t at = 0, n = 1; at < name.size(); at += n) {
    std::mbstate_t state{};
    wchar_t c = 0;
    n = std::mbrtowc(&c, name.data() + at, name.size() - at, &state);
    auto value = static_cast<unsigned long>(c);
    if (n == 0 || n > 4 || value > 0x10FFFF) {
      auto byte = [&](size_t i) { return at + i < name.size() ? static_cast<unsigned char>(name[at + i]) : 0u; };
      bool surrogate = byte(0) == 0xED && byte(1) >= 0xA0 && byte(1) <= 0xBF && (byte(2) & 0xC0) == 0x80;
      n = surrogate ? 3 : 1;
      value = surrogate ? 0xD800 : byte(0);
    }
    shown += model_hidden(value) ? std::string("?") : name.substr(at, n);
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
