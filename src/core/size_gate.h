// A compile-time index of a signature table's size rules, so a file length is judged in one search.
#pragma once
#include <algorithm>
#include <cstdint>

#include "core/signature_record.h"

// Built from a table of N records. Exact-size records become a sorted list searched by halves;
// the few records with another rule are kept aside and asked directly, so the gate answers exactly
// as a walk over every record's SizeRuleAccepts would.
template <int N>
class SizeGate {
public:
    constexpr explicit SizeGate(const SignatureRecord (&table)[N]) {
        for (int i = 0; i < N; ++i) {
            const SignatureRecord& r = table[i];
            if (r.sizeRule == kSizeRuleExact) {
                // Insertion keeps the list sorted as it grows.
                int at = exactCount_++;
                while (at > 0 && exact_[at - 1] > r.fileSize) {
                    exact_[at] = exact_[at - 1];
                    --at;
                }
                exact_[at] = r.fileSize;
            } else if (r.sizeRule == kSizeRuleNear || r.sizeRule == kSizeRuleAny) {
                others_[othersCount_++] = &r;
            }
        }
    }

    bool Accepts(int32_t fileLength) const {
        if (std::binary_search(exact_, exact_ + exactCount_, fileLength)) return true;
        for (int i = 0; i < othersCount_; ++i) {
            if (SizeRuleAccepts(*others_[i], fileLength)) return true;
        }
        return false;
    }

    constexpr int exactCount() const { return exactCount_; }
    constexpr int othersCount() const { return othersCount_; }

private:
    int32_t exact_[N] = {};
    const SignatureRecord* others_[N] = {};
    int exactCount_ = 0;
    int othersCount_ = 0;
};
