// Fuzzes the checker's header reading, address conversion and signature walk with arbitrary files.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "core/bounded_reader.h"
#include "core/pe_image.h"
#include "core/signature_match.h"
#include "core/signature_table.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemorySource source(data, size);
    PeHeaders headers;
    if (!ReadPeHeaders(source, &headers)) return 0;
    const int32_t length = size > INT32_MAX ? INT32_MAX : static_cast<int32_t>(size);
    const int found = FindMatchingRecord(source, headers, length);
    if (found < -1 || found >= kSignatureCount) __builtin_trap();

    // Files are rarely the size of a row here, so also claim each row's size: the probes then run
    // into the short buffer and must be turned away, never read past it.
    for (int i = 0; i < kSignatureCount; ++i) FindMatchingRecord(source, headers, SignatureTable[i].fileSize);

    // Arbitrary addresses and lengths taken from the input's last bytes.
    for (size_t at = size >= 8 ? size - 8 : 0; at + 8 <= size; at += 8) {
        uint32_t address, fileLength;
        std::memcpy(&address, data + at, 4);
        std::memcpy(&fileLength, data + at + 4, 4);
        const uint32_t position = RvaToFilePosition(headers, address, fileLength);
        if (position == 0 && headers.sizeOfHeaders != 0) __builtin_trap();
    }
    for (uint32_t address : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, headers.addressOfEntryPoint})
        RvaToFilePosition(headers, address, static_cast<uint32_t>(length));
    return 0;
}
