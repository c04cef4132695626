// What is done with an infected file: deleted, renamed or left, with its one result line.
#pragma once
#include <cstdint>

#include "platform/named_file.h"

enum class RemovalOutcome { kNothing, kDeleted, kNotDeleted, kRenamed, kNotRenamed, kLeft };

// How one kind of infected file is removed and reported.
struct RemovalStyle {
    // An executable is forced: attributes reset first, the processes that hold it ended and the
    // deletion tried again, else scheduled for the next restart. A mail file is simply deleted.
    bool forced;
    const char* notDeletedWord;  // outcome word of a deletion that failed
    const char* leftWord;        // outcome word of a file left in place by the user's choice
};
extern const RemovalStyle kExecutableRemoval;
extern const RemovalStyle kMailFileRemoval;

// The two lines that name a file as it was last shown rather than by its path: a reset of its
// attributes that failed, and a file left in place by choice. For a file found by a check they
// are its path and its record's name; for the file of a process the memory phase has ended, the
// status text its check showed and the record's name, while the other lines carry the table's name.
struct LastShown {
    const char* object;
    const char* name;
};

// Applies `action` (100/102 delete, 101 rename, 103 leave; anything else: nothing) to `file` found
// as `name`, writes the outcome line (with the file's shown path) and counts a deletion in files
// removed. On the forced deletion's last failure the file is scheduled for deletion at the next
// restart, and RestartNeeded is set when that was taken (never cleared: any waiting removal keeps
// the restart due).
RemovalOutcome ApplyRemovalAction(int32_t action, const NamedFile& file, const char* name, const LastShown& lastShown,
                                  const RemovalStyle& style);
