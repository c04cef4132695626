// Prints the file size every signature record is keyed to, one per line in table order, so that
// tests outside the Windows programs can make files the size gate lets through.
#include <cstdio>

#include "core/signature_table.h"

int main() {
    for (int i = 0; i < kSignatureCount; ++i) std::printf("%ld\n", static_cast<long>(SignatureTable[i].fileSize));
    return 0;
}
