// The name rules against a model written from their description. The first
// input byte picks the path syntax; the rest is the argument.
#include <cstdlib>
#include <string>

#include "map_name.h"

namespace {

bool model_is_map(const std::string &name, bool win32) {
  size_t start = 0;
  for (size_t i = 0; i < name.size(); ++i)
    if (name[i] == '/' || (win32 && name[i] == '\\'))
      start = i + 1;
  bool letter = !name.empty() && ((name[0] >= 'A' && name[0] <= 'Z') || (name[0] >= 'a' && name[0] <= 'z'));
  if (win32 && start == 0 && letter && name.size() >= 2 && name[1] == ':')
    start = 2;
  size_t dot = std::string::npos;
  for (size_t i = start + 1; i < name.size(); ++i)
    if (name[i] == '.')
      dot = i;
  return dot != std::string::npos && name.compare(dot + 1, std::string::npos, "BSP") == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size) {
  if (size == 0)
    return 0;
  bool win32 = (data[0] & 1) != 0;
  const path_syntax &paths = win32 ? WIN32_PATHS : POSIX_PATHS;
  ++data;
  --size;
  std::string argument(reinterpret_cast<const char *>(data), size);
  std::string working = make_working_name(argument, paths);
  if (working.size() != size && working.size() != size + 4)
    abort();
  for (size_t i = 0; i < size; ++i) {
    unsigned char in = data[i];
    unsigned char out = static_cast<unsigned char>(working[i]);
    if (out != (in >= 'a' && in <= 'z' ? in - 32 : in))
      abort();
  }
  bool appended = working.size() == size + 4;
  if (appended && working.compare(size, 4, ".BSP") != 0)
    abort();
  if (appended == has_extension(argument, paths))
    abort();
  if (is_map_name(working, paths) != model_is_map(working, win32))
    abort();
  if (make_working_name(working, paths) != working && has_extension(working, paths))
    abort();
  return 0;
}
