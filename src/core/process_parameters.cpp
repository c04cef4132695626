// The image path a process keeps in its own memory, read field by field through a bounded reader.
#include "core/process_parameters.h"

namespace {

// A pointer of the target process's size, little-endian.
bool ReadPointer(ByteSource& memory, uint64_t address, uint32_t size, uint64_t* out) {
    uint8_t bytes[8] = {};
    if ((size != 4 && size != 8) || !memory.ReadAt(address, bytes, size)) return false;
    *out = 0;
    for (uint32_t i = size; i > 0; --i) *out = (*out << 8) | bytes[i - 1];
    return true;
}

}  // namespace

bool ReadImagePathFromMemory(ByteSource& memory, uint64_t pebAddress, const ProcessParameterLayout& layout,
                             uint16_t* out, size_t capacity) {
    if (capacity == 0) return false;
    out[0] = 0;
    uint64_t parameters = 0;
    if (!pebAddress || !ReadPointer(memory, pebAddress + layout.parametersInPeb, layout.pointerSize, &parameters) ||
        !parameters)
        return false;
    // UNICODE_STRING: Length and MaximumLength (16 bits each, in bytes), then the buffer's
    // address at the next pointer-aligned place.
    const uint64_t image = parameters + layout.imagePathInParameters;
    uint8_t lengthBytes[2];
    uint64_t buffer = 0;
    if (!memory.ReadAt(image, lengthBytes, sizeof lengthBytes) ||
        !ReadPointer(memory, image + layout.pointerSize, layout.pointerSize, &buffer) || !buffer)
        return false;
    const size_t length = static_cast<size_t>(lengthBytes[0] | (lengthBytes[1] << 8));
    const size_t units = length / 2;
    if (length == 0 || length % 2 != 0 || units >= capacity) return false;
    // One read for the whole text; its bytes are then put in order where they lie.
    auto* bytes = reinterpret_cast<uint8_t*>(out);
    if (!memory.ReadAt(buffer, bytes, length)) {
        out[0] = 0;
        return false;
    }
    for (size_t i = 0; i < units; ++i) out[i] = static_cast<uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    out[units] = 0;
    return true;
}
