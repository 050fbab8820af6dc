// The patch: one byte, 0x2A at offset 4, written in place.
#pragma once

#include <cstdint>
#include <string>

#include "map_lookup.h"

constexpr uint64_t PATCH_OFFSET = 4;
constexpr unsigned char PATCH_BYTE = 0x2A;

enum class patch_result { patched, not_found, not_writable, open_failed, seek_failed, write_failed };

// Finds, checks, opens, writes and closes; the first step that fails decides.
// Only a file whose own name is a map name is ever written: the name of the
// file reached, after every link and alias, decides, not the name given.
// cache keeps the run's directory listings.
patch_result patch_map(const std::string &working_name, const std::string &typed_name, const file_system &fs,
                       lookup_cache &cache);
