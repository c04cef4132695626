// The running processes of the NT line with their executables' true paths, in wide text of any
// length: built and freed within one memory scan.
#pragma once
#include <cstddef>
#include <cstdint>

struct WideProcessNode {
    uint32_t processId;
    wchar_t* path;  // the executable's full path, as the system names it
    WideProcessNode* next;
};

// Singly linked, in enumeration order; every node and path is freed when the list goes.
class WideProcessList {
public:
    WideProcessList() = default;
    ~WideProcessList();
    WideProcessList(const WideProcessList&) = delete;
    WideProcessList& operator=(const WideProcessList&) = delete;

    // False when the node or its path could not be allocated.
    bool Append(uint32_t processId, const wchar_t* path);
    const WideProcessNode* first() const { return head_; }

private:
    WideProcessNode* head_ = nullptr;
    WideProcessNode* tail_ = nullptr;
};
