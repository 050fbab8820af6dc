// A name's bytes, "%" among them, change nothing in a report line but their own place.
#include <cstdlib>
#include <string>

#include "report.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size) {
  std::string name(reinterpret_cast<const char *>(data), size);
  if (progress_text(name) != "Working on file " + name + " : ")
    abort();
  std::string usage = usage_text(name);
  std::string banner = banner_text();
  if (usage != banner + "\nusage : " + name + " <file[.bsp]> [<file[.bsp]>] [...]\n")
    abort();
  // Two values: the first may hold "%s" and must not swallow the second.
  if (fill_pattern("[%s|%s]", {name, "x"}) != "[" + name + "|x]")
    abort();
  return 0;
}
