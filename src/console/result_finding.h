// A result line read back as a finding: what was found where, and what became of it.
#pragma once
#include <cstddef>

enum class FindingOutcome { kRemoved, kRenamed, kScheduled, kFailed, kFound };

// The report's word for an outcome: "removed", "renamed", "scheduled", "failed", "found".
const char* OutcomeWord(FindingOutcome outcome);

// A finding as pieces of its line (not terminated: each has its length).
struct FindingText {
    const char* object;        // the file's path as listed, or "System Memory" / "System Registry"
    size_t objectLength;
    const char* detection;     // the detection name, without the trailing blank of the checker table's
    size_t detectionLength;
    FindingOutcome outcome;
    // "Unable to remove": the file stays until the restart if its removal then could be scheduled,
    // which the line does not say. Read as kFailed; the caller knows better.
    bool awaitsScheduling;
};

// Reads one line as the result list shows it: object, blanks, detection name, one blank, outcome
// words; or a running worm met by a scan that only looks ("System Memory     NAME running from
// PATH"). False for a line that is no finding (the statistics block, its blank line).
bool ReadFinding(const char* line, FindingText* finding);
