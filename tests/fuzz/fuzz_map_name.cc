// The name rules against what they promise, said another way. The first
// input byte picks the path syntax; the rest is the argument. A working name
// is the argument upper-cased, with ".BSP" after it exactly where it has no
// extension, and it is a map name exactly where it ends in ".BSP" after
// something that is neither a separator nor, on Win32, a drive alone.
#include <cstdlib>
#include <string>

#include "map_name.h"

namespace {

bool separates(char c, bool win32) { return c == '/' || (win32 && c == '\\'); }

bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Read from the front: a dot counts where it follows a byte of the same
// component; a separator, or a drive at the very start, begins a new one.
bool model_has_extension(const std::string &name, bool win32) {
  bool dot = false;
  for (size_t i = 0, component = 0; i < name.size(); ++i) {
    if (separates(name[i], win32) || (win32 && i == 1 && name[1] == ':' && is_letter(name[0]))) {
      component = i + 1;
      dot = false;
    } else if (name[i] == '.') {
      dot = i > component;
    }
  }
  return dot;
}

bool model_is_map(const std::string &name, bool win32) {
  if (name.size() < 5 || name.compare(name.size() - 4, 4, ".BSP") != 0)
    return false;
  std::string before = name.substr(0, name.size() - 4);
  bool drive = win32 && before.size() == 2 && before[1] == ':' && is_letter(before[0]);
  return !separates(before.back(), win32) && !drive;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size) {
  if (size == 0)
    return 0;
  bool win32 = (data[0] & 1) != 0;
  path_syntax paths = win32 ? path_syntax::win32 : path_syntax::posix;
  std::string argument(reinterpret_cast<const char *>(data + 1), size - 1);
  std::string want = argument;
  for (char &c : want)
    c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
  if (!model_has_extension(argument, win32))
    want += ".BSP";
  std::string working = make_working_name(argument, paths);
  if (working != want || has_extension(argument, paths) != model_has_extension(argument, win32) ||
      is_map_name(working, paths) != model_is_map(working, win32) ||
      is_map_file_name(argument, paths) != model_is_map(want.substr(0, argument.size()), win32))
    abort();
  return 0;
}
