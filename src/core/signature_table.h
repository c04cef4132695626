// The built-in worm signatures, and the gate that turns away the file lengths no record is keyed to.
#pragma once
#include <cstdint>
#include <cstring>

#include "core/signature_record.h"

constexpr int kSignatureCount = 70;

// The records in their fixed order, then an end marker whose name is empty.
extern const SignatureRecord SignatureTable[kSignatureCount + 1];

// True when at least one record of SignatureTable accepts this length. Answers like walking every
// record's rule, without the walk: almost every file on a disk is turned away here.
bool AnyRecordAcceptsSize(int32_t fileLength);

// A record's name as the result lines give it: the table's field, terminated for certain.
struct RecordName {
    explicit RecordName(int record) {
        std::memcpy(text, SignatureTable[record].name, sizeof SignatureTable[record].name);
        text[sizeof SignatureTable[record].name] = '\0';
    }
    char text[sizeof SignatureRecord::name + 1];
};
