// A report line against Unicode's own data: a name shows as it is, but for
// each character that Unicode's files (Debian's unicode-data, or the folder
// that O2Z_UNICODE_DATA names) call a control (Cc), a line or paragraph
// separator (Zl, Zp), a surrogate (Cs) or default-ignorable, each of which
// shows as "?". The C library's decoder reads UTF-8; a byte that
// starts no character stands for itself. The usage text shows the
// program's path exactly.
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <fstream>
#include <locale.h>
#include <set>
#include <string>

#include "expected_banner.h"
#include "report.h"

namespace {

std::set<unsigned long> hidden;

// Lines such as "0000..001F    ; Cc # ...": each range of one of the values.
void read_ranges(const std::string &path, std::initializer_list<std::string> values) {
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) {
    for (const std::string &value : values) {
      if (line.find("; " + value + " ") == std::string::npos)
        continue;
      size_t dots = line.find("..");
      unsigned long first = std::stoul(line, nullptr, 16);
      unsigned long last = dots < line.find(';') ? std::stoul(line.substr(dots + 2), nullptr, 16) : first;
      for (unsigned long c = first; c <= last; ++c)
        hidden.insert(c);
    }
  }
}

// An encoded surrogate, which the C library refuses, is one character of three bytes.
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
    shown += hidden.count(value) != 0 ? std::string("?") : name.substr(at, n);
  }
  return shown;
}

std::string written(void (*write)(output &, std::string_view), const std::string &value) {
  std::string text;
  auto append = [](void *to, const char *data, size_t size) {
    return static_cast<std::string *>(to)->append(data, size), true;
  };
  output out = make_output(append, &text, false, false);
  write(out, value);
  flush_output(out);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  const char *folder = getenv("O2Z_UNICODE_DATA");
  std::string data = folder ? folder : "/usr/share/unicode";
  read_ranges(data + "/extracted/DerivedGeneralCategory.txt", {"Cc", "Zl", "Zp", "Cs"});
  read_ranges(data + "/DerivedCoreProperties.txt", {"Default_Ignorable_Code_Point"});
  if (hidden.count(0x1F) == 0 || hidden.count(0x2029) == 0 || hidden.count(0xDFFF) == 0 || hidden.count(0xE007F) == 0) {
    fprintf(stderr, "no Unicode data in %s (Debian: unicode-data)\n", data.c_str());
    abort();
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size) {
  std::string name(reinterpret_cast<const char *>(data), size);
  if (written(write_progress_text, name) != "Working on file " + model_shown(name) + " : " ||
      written(write_usage_text, name) !=
          std::string(EXPECTED_BANNER) + "\nusage : " + name + " <file[.bsp]> [<file[.bsp]>] [...]\n")
    abort();
  return 0;
}
