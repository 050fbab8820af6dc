// What the Win32 files share. Names arrive as UTF-16 and travel through the
// tool as WTF-8; only the wide calls are used, so no name ever passes
// through a code page on its way to a file.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "file_system.h"
#include "wtf8.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Win32 wide text is UTF-16");

inline std::string from_wide(std::wstring_view text) {
  return wtf8_from_utf16(std::u16string(text.begin(), text.end()));
}

inline std::u16string as_utf16(std::wstring_view text) { return std::u16string(text.begin(), text.end()); }
inline std::wstring as_wide(std::u16string_view text) { return std::wstring(text.begin(), text.end()); }

// The UTF-16 of a text; false where its bytes hold something that is no WTF-8.
inline bool to_wide(std::string_view text, std::wstring *wide) {
  std::u16string units;
  bool exact = utf16_from_wtf8(text, &units);
  wide->assign(units.begin(), units.end());
  return exact;
}

inline file_id id_of(const BY_HANDLE_FILE_INFORMATION &info) {
  return {info.dwVolumeSerialNumber, static_cast<uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow};
}

// Around each write of the report, which an interrupt cannot cut short
// here: one that stays under way is what a second interrupt ends.
void report_write_begins();
void report_write_ends();
