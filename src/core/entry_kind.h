// What a folder entry stands for, from the attributes and reparse tag its listing gives: the walk
// follows only what lies on the volume itself.
#pragma once
#include <cstdint>

// An entry that stands for a place elsewhere: a symbolic link, a junction or a mount point (the
// system's name surrogates), or a reparse point whose kind the listing does not tell (Wine gives
// its links no tag). Its target is walked where it lies, if it lies on a local fixed drive at all:
// followed, it could lead to a network drive, or back into its own tree without end.
bool LeadsElsewhere(uint32_t attributes, uint32_t reparseTag);

// A file whose data is not on the volume: offline, or fetched from elsewhere when it is read.
bool DataElsewhere(uint32_t attributes);

// A folder whose entries are fetched from elsewhere when it is listed.
bool ListedFromElsewhere(uint32_t attributes);
