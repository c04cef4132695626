// Fuzz target: the mail-file scan, with the built-in record and with records taken from the input.
#include <cstdint>
#include <cstring>

#include "core/bounded_reader.h"
#include "core/mail_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static MailBlocks blocks;
    MemorySource whole(data, size);
    (void)ScanMailFile(whole, static_cast<int64_t>(size), &blocks);

    // The first 170 bytes as a record of their own (any mode, block, position and length),
    // the rest as the file: every field value must stay within the buffers.
    if (size < sizeof(MailSignatureRecord)) return 0;
    MailSignatureRecord record;
    std::memcpy(&record, data, sizeof record);
    const uint8_t* file = data + sizeof record;
    size_t fileSize = size - sizeof record;
    MemorySource source(file, fileSize);
    if (ReadMailBlocks(source, static_cast<int64_t>(fileSize), &blocks))
        (void)MailRecordMatches(record, record.signature, blocks, static_cast<int64_t>(fileSize));
    return 0;
}
