// The patch: one byte, 0x2A at offset 4, written in place.
#pragma once

#include <cstdint>
#include <string>

#include "map_lookup.h"
#include "platform.h"

constexpr uint64_t PATCH_OFFSET = 4;
constexpr unsigned char PATCH_BYTE = 0x2A;

enum class patch_result { patched, not_found, not_writable, open_failed, seek_failed, write_failed };

// Checks, opens, positions, writes and closes; the first step that fails decides.
// The file is looked up by the typed name first, then by the working name;
// cache keeps the run's directory listings.
patch_result patch_map(const std::string &working_name, const std::string &typed_name, const file_ops &fs,
                       lookup_cache &cache);
