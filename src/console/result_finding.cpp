// Result lines read back as findings, by the outcome words that end them.
#include "console/result_finding.h"

#include <cstring>

namespace {

struct OutcomeEnding {
    const char* words;  // with the blank before them
    FindingOutcome outcome;
    bool awaitsScheduling;
};

// Every outcome the file checker, the mail-file checker, the memory step and the registry cleaning
// write; the two "not disinfected" forms are a file left in place, as a scan that only looks does.
const OutcomeEnding kEndings[] = {
    {" removed", FindingOutcome::kRemoved, false},
    {" Unable to remove", FindingOutcome::kFailed, true},
    {" renamed", FindingOutcome::kRenamed, false},
    {" Rename failed", FindingOutcome::kFailed, false},
    {" Remove failed", FindingOutcome::kFailed, false},
    {" not disinfected as per user's selection", FindingOutcome::kFound, false},
    {" Not Disinfected As Per User's Selection", FindingOutcome::kFound, false},
};

constexpr char kMemory[] = "System Memory";
constexpr char kRunningFrom[] = " running from ";

bool EndsWith(const char* text, size_t length, const char* ending) {
    const size_t n = std::strlen(ending);
    return length >= n && std::memcmp(text + length - n, ending, n) == 0;
}

size_t TrimBlanks(const char* text, size_t length) {
    while (length > 0 && text[length - 1] == ' ') --length;
    return length;
}

// Splits "object<blanks>name" (trailing blanks already gone) at the blanks before the last word.
bool SplitObjectAndName(const char* text, size_t length, FindingText* finding) {
    size_t nameStart = length;
    while (nameStart > 0 && text[nameStart - 1] != ' ') --nameStart;
    const size_t objectLength = TrimBlanks(text, nameStart);
    if (nameStart == length || nameStart == 0 || objectLength == 0) return false;
    finding->object = text;
    finding->objectLength = objectLength;
    finding->detection = text + nameStart;
    finding->detectionLength = length - nameStart;
    return true;
}

// "System Memory     NAME running from PATH".
bool ReadRunningWorm(const char* line, FindingText* finding) {
    const size_t prefix = sizeof kMemory - 1;
    if (std::strncmp(line, kMemory, prefix) != 0 || line[prefix] != ' ') return false;
    const char* name = line + prefix;
    while (*name == ' ') ++name;
    const char* from = std::strstr(name, kRunningFrom);
    if (!from || from == name || std::memchr(name, ' ', static_cast<size_t>(from - name))) return false;
    finding->object = line;
    finding->objectLength = prefix;
    finding->detection = name;
    finding->detectionLength = static_cast<size_t>(from - name);
    finding->outcome = FindingOutcome::kFound;
    finding->awaitsScheduling = false;
    return true;
}

}  // namespace

const char* OutcomeWord(FindingOutcome outcome) {
    switch (outcome) {
    case FindingOutcome::kRemoved: return "removed";
    case FindingOutcome::kRenamed: return "renamed";
    case FindingOutcome::kScheduled: return "scheduled";
    case FindingOutcome::kFailed: return "failed";
    case FindingOutcome::kFound: return "found";
    }
    return "failed";
}

bool ReadFinding(const char* line, FindingText* finding) {
    if (ReadRunningWorm(line, finding)) return true;
    const size_t length = std::strlen(line);
    for (const OutcomeEnding& ending : kEndings) {
        if (!EndsWith(line, length, ending.words)) continue;
        // The checker table's name ends in a blank, so its lines have two before the outcome.
        const size_t rest = TrimBlanks(line, length - std::strlen(ending.words));
        if (!SplitObjectAndName(line, rest, finding)) return false;
        finding->outcome = ending.outcome;
        finding->awaitsScheduling = ending.awaitsScheduling;
        return true;
    }
    return false;
}
