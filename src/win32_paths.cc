#include "win32_paths.h"

#include <algorithm>

namespace {

constexpr size_t MAX_PATH_LENGTH = 260;  // Win32's MAX_PATH
constexpr std::u16string_view VERBATIM = u"\\\\?\\";
constexpr std::u16string_view DEVICE = u"\\\\.\\";
constexpr std::u16string_view NT_OBJECTS = u"\\??\\";

bool starts_with(std::u16string_view text, std::u16string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

char16_t upper_ascii(char16_t c) { return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - u'a' + u'A') : c; }

// Compared as the system compares device and share names: ASCII letters without regard to case.
bool same_ignoring_case(std::u16string_view a, std::u16string_view upper) {
  return a.size() == upper.size() &&
         std::equal(a.begin(), a.end(), upper.begin(), [](char16_t x, char16_t y) { return upper_ascii(x) == y; });
}

bool starts_with_drive(std::u16string_view path) {
  return path.size() >= 2 && upper_ascii(path[0]) >= u'A' && upper_ascii(path[0]) <= u'Z' && path[1] == u':';
}

// A UNC path ("server\share\...") into a server's named pipes or mailslots.
bool is_object_share(std::u16string_view unc) {
  size_t server_end = unc.find(u'\\');
  if (server_end == std::u16string_view::npos)
    return false;
  std::u16string_view share = unc.substr(server_end + 1);
  share = share.substr(0, share.find(u'\\'));
  return same_ignoring_case(share, u"PIPE") || same_ignoring_case(share, u"MAILSLOT");
}

// A name that Windows before 11 reads as a device in any folder, whatever
// its extension: CON, NUL.BSP, "NUL .BSP", COM1 to COM9, LPT1 to LPT9 (with
// superscript digits too), CONIN$, CONOUT$. Windows 11 keeps only the bare
// names as devices; refused on every Windows, a name means one thing on all.
bool is_device_name(std::u16string_view component) {
  std::u16string_view base = component.substr(0, component.find_first_of(u".:"));
  while (!base.empty() && base.back() == u' ')
    base.remove_suffix(1);
  for (std::u16string_view device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"})
    if (same_ignoring_case(base, device))
      return true;
  char16_t digit = base.size() == 4 ? base[3] : u'0';
  bool numbered = (digit >= u'1' && digit <= u'9') || digit == u'\u00B9' || digit == u'\u00B2' || digit == u'\u00B3';
  return numbered && (same_ignoring_case(base.substr(0, 3), u"COM") || same_ignoring_case(base.substr(0, 3), u"LPT"));
}

}  // namespace

name_kind kind_of_path(std::u16string_view path) {
  std::u16string backslashed(path);
  std::replace(backslashed.begin(), backslashed.end(), u'/', u'\\');
  std::u16string_view rest = backslashed;
  if (starts_with(rest, VERBATIM) || starts_with(rest, DEVICE) || starts_with(rest, NT_OBJECTS)) {
    rest.remove_prefix(VERBATIM.size());
    bool drive = starts_with_drive(rest) && rest.size() >= 3 && rest[2] == u'\\';
    bool share = same_ignoring_case(rest.substr(0, 4), u"UNC\\") && !is_object_share(rest.substr(4));
    if (!drive && !share)
      return name_kind::device;
  } else if (starts_with(rest, u"\\\\") && is_object_share(rest.substr(2))) {
    return name_kind::device;
  }
  size_t separator = rest.rfind(u'\\');
  std::u16string_view last = separator != std::u16string_view::npos ? rest.substr(separator + 1)
                             : starts_with_drive(rest)              ? rest.substr(2)
                                                                    : rest;
  return is_device_name(last) || last.find(u':') != std::u16string_view::npos ? name_kind::device : name_kind::file;
}

bool is_verbatim(std::u16string_view name) { return starts_with(name, VERBATIM) || starts_with(name, NT_OBJECTS); }

std::u16string call_path(std::u16string_view name, std::u16string_view full) {
  if (name.size() < MAX_PATH_LENGTH && full.size() < MAX_PATH_LENGTH)
    return std::u16string(name);
  if (full.size() < MAX_PATH_LENGTH || starts_with(full, VERBATIM))
    return std::u16string(full);
  // \\.\C:\... is the same file as \\?\C:\..., and no share: its long form is that.
  if (starts_with(full, DEVICE))
    return std::u16string(VERBATIM).append(full.substr(DEVICE.size()));
  if (starts_with(full, u"\\\\"))
    return std::u16string(VERBATIM).append(u"UNC\\").append(full.substr(2));
  return std::u16string(VERBATIM).append(full);
}
