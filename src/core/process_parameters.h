// The image path a process keeps in its own memory (its process parameters), read through a
// reader of that memory: where NT 4 without the process-status library still tells it.
#pragma once
#include <cstddef>
#include <cstdint>

#include "core/bounded_reader.h"

// Where the fields lie for a process of one bitness.
struct ProcessParameterLayout {
    uint32_t parametersInPeb;  // the process parameters' address, within the process environment block
    uint32_t imagePathInParameters;  // ImagePathName (a UNICODE_STRING), within the process parameters
    uint32_t pointerSize;            // 4 or 8
};
constexpr ProcessParameterLayout kParameters32 = {0x10, 0x38, 4};
constexpr ProcessParameterLayout kParameters64 = {0x20, 0x60, 8};

// Reads the image path of the process whose environment block lies at `pebAddress` in `memory`
// (addresses of that process), as UTF-16 units into `out` (`capacity` units, terminator
// included). False when a read fails, the length is odd or zero, or the path does not fit.
bool ReadImagePathFromMemory(ByteSource& memory, uint64_t pebAddress, const ProcessParameterLayout& layout,
                             uint16_t* out, size_t capacity);
