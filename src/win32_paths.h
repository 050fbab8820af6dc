// Win32 path rules, decided on the text alone, before any call that could
// open something: whether a name leads to a file, and the form in which the
// wide calls take it. Pure text, so every platform builds and tests them.
#pragma once

#include <string>
#include <string_view>

enum class name_kind { file, device };

// Whether a path leads to a file, read with either separator. A path into
// the system's object space (\\.\, \\?\, \??\) goes on with a drive ("C:\")
// or a share ("UNC\server\share\") or leads to a device; a share named PIPE
// or MAILSLOT holds a server's pipes and mailslots; and a last component
// that is a device name, or names a stream of a file ("e1m1:x.bsp"), is no
// file either.
name_kind kind_of_path(std::u16string_view path);

// True for a name the system takes verbatim (\\?\, \??\): used as given.
bool is_verbatim(std::u16string_view name);

// The form the wide calls take for a name, given its full path (the
// system's own reading of it): the name as given while both are shorter
// than MAX_PATH, else the full path in its long form (\\?\, \\?\UNC\).
std::u16string call_path(std::u16string_view name, std::u16string_view full);
