// Decides which signature record, if any, a PE file matches.
#pragma once
#include <cstdint>

#include "core/bounded_reader.h"
#include "core/pe_image.h"
#include "core/signature_table.h"

// Index in SignatureTable of the first record whose size rule accepts fileLength and whose two
// 20-byte probes, taken at the file positions of entry point + offset, equal its signatures;
// -1 when none does. A probe that cannot be read in full rejects only its own record.
int FindMatchingRecord(ByteSource& file, const PeHeaders& headers, int32_t fileLength);

// The same walk over `count` records of any table (stopping early at an empty name).
int FindMatchingRecordIn(const SignatureRecord* table, int count, ByteSource& file, const PeHeaders& headers,
                         int32_t fileLength);

// True when the 20 bytes at the file position of entry point + offset equal `signature`.
bool ProbeMatches(ByteSource& file, const PeHeaders& headers, int32_t fileLength, int32_t offset,
                  const uint8_t* signature);
