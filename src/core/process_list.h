// The list of running processes that a process scan or back-end builds and frees within one call.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr size_t kProcessPathSize = 260;

struct ProcessNode {
    uint32_t processId;
    char path[kProcessPathSize];  // executable path, at most 259 characters
    ProcessNode* next;
};

// Singly linked, in enumeration order; every node is freed when the list goes.
class ProcessList {
public:
    ProcessList() = default;
    ~ProcessList();
    ProcessList(const ProcessList&) = delete;
    ProcessList& operator=(const ProcessList&) = delete;

    // False when no node could be allocated; a path too long for a node is cut.
    bool Append(uint32_t processId, const char* path);
    const ProcessNode* first() const { return head_; }
    size_t size() const { return size_; }

private:
    ProcessNode* head_ = nullptr;
    ProcessNode* tail_ = nullptr;
    size_t size_ = 0;
};
