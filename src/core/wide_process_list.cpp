// The running processes of the NT line with their executables' true paths in wide text.
#include "core/wide_process_list.h"

#include <cwchar>
#include <new>

WideProcessList::~WideProcessList() {
    while (head_) {
        WideProcessNode* next = head_->next;
        delete[] head_->path;
        delete head_;
        head_ = next;
    }
}

bool WideProcessList::Append(uint32_t processId, const wchar_t* path) {
    const size_t length = std::wcslen(path);
    wchar_t* copy = new (std::nothrow) wchar_t[length + 1];
    if (!copy) return false;
    std::wmemcpy(copy, path, length + 1);
    WideProcessNode* node = new (std::nothrow) WideProcessNode{processId, copy, nullptr};
    if (!node) {
        delete[] copy;
        return false;
    }
    if (tail_) tail_->next = node;
    else head_ = node;
    tail_ = node;
    return true;
}
