// What a folder entry stands for, from the attributes and reparse tag its listing gives.
#include "core/entry_kind.h"

namespace {

constexpr uint32_t kReparsePoint = 0x400;             // FILE_ATTRIBUTE_REPARSE_POINT
constexpr uint32_t kOffline = 0x1000;                 // FILE_ATTRIBUTE_OFFLINE
constexpr uint32_t kRecallOnOpen = 0x40000;           // FILE_ATTRIBUTE_RECALL_ON_OPEN
constexpr uint32_t kRecallOnDataAccess = 0x400000;    // FILE_ATTRIBUTE_RECALL_ON_DATA_ACCESS
constexpr uint32_t kNameSurrogate = 0x20000000;       // the tag bit of links, junctions and mount points

}  // namespace

bool LeadsElsewhere(uint32_t attributes, uint32_t reparseTag) {
    if (!(attributes & kReparsePoint)) return false;
    return reparseTag == 0 || (reparseTag & kNameSurrogate) != 0;
}

bool DataElsewhere(uint32_t attributes) { return (attributes & (kOffline | kRecallOnDataAccess)) != 0; }

bool ListedFromElsewhere(uint32_t attributes) { return (attributes & (kOffline | kRecallOnOpen)) != 0; }
