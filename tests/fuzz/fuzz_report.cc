// A report line against a model of what it may show: the name, with each
// control character as "?", and nothing else changed; the usage text shows
// the program's path exactly.
#include <cstdlib>
#include <string>

#include "report.h"

namespace {

// C1 controls first, as whole UTF-8 sequences, then every C0 byte and DEL.
std::string model_shown(std::string name) {
  for (size_t at = name.find('\xC2'); at != std::string::npos; at = name.find('\xC2', at + 1))
    if (at + 1 < name.size() && static_cast<unsigned char>(name[at + 1]) >= 0x80 &&
        static_cast<unsigned char>(name[at + 1]) <= 0x9F)
      name.replace(at, 2, "?");
  for (char &c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
      c = '?';
  return name;
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
