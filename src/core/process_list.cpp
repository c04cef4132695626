// The list of running processes that a process scan or back-end builds and frees within one call.
#include "core/process_list.h"

#include <new>

#include "core/text.h"

ProcessList::~ProcessList() {
    while (head_) {
        ProcessNode* next = head_->next;
        delete head_;
        head_ = next;
    }
}

bool ProcessList::Append(uint32_t processId, const char* path) {
    ProcessNode* node = new (std::nothrow) ProcessNode;
    if (!node) return false;
    node->processId = processId;
    CopyText(node->path, sizeof node->path, path);
    node->next = nullptr;
    if (tail_) tail_->next = node;
    else head_ = node;
    tail_ = node;
    ++size_;
    return true;
}
