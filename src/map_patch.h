// The patch: one byte, 0x2A at offset 4, written in place.
#pragma once

#include <cstdint>

#include "file_system.h"
#include "map_name.h"

constexpr uint64_t PATCH_OFFSET = 4;
constexpr unsigned char PATCH_BYTE = 0x2A;

enum class patch_result { patched, not_found, not_writable, open_failed, seek_failed, write_failed };

// Finds, checks, opens, writes and closes; the first step that fails decides.
// Only a file whose own name is a map name is ever written: the name of the
// file reached, after every link and alias, decides, not the name given.
patch_result patch_map(const map_names &names, file_system &fs);
