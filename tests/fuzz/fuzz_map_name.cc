// The name rules against a model written from their description.
#include <cstdlib>
#include <string>

#include "map_name.h"

namespace {

bool model_is_map(const std::string &name) {
  size_t start = 0;
  for (size_t i = 0; i < name.size(); ++i)
    if (name[i] == '/' || name[i] == '\\')
      start = i + 1;
  size_t dot = std::string::npos;
  for (size_t i = start + 1; i < name.size(); ++i)
    if (name[i] == '.')
      dot = i;
  return dot != std::string::npos && name.compare(dot + 1, std::string::npos, "BSP") == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char *data, size_t size) {
  std::string argument(reinterpret_cast<const char *>(data), size);
  std::string working = make_working_name(argument);
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
  if (appended == has_extension(argument))
    abort();
  if (is_map_name(working) != model_is_map(working))
    abort();
  if (make_working_name(working) != working && has_extension(working))
    abort();
  return 0;
}
