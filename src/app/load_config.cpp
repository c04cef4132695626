// The 64-bit program's load-configuration record: its own imports come from the system folder alone.
#include <windows.h>

#include <cstddef>

#include "platform/dll_search.h"

namespace {

// The toolchain's record calls the field DependentLoadFlags "Reserved1"; Windows 10 1607 and
// later read it when they resolve the imports of the program itself.
static_assert(offsetof(IMAGE_LOAD_CONFIG_DIRECTORY64, Reserved1) == 78, "DependentLoadFlags sits at offset 78");

constexpr IMAGE_LOAD_CONFIG_DIRECTORY64 Record() {
    IMAGE_LOAD_CONFIG_DIRECTORY64 record = {};
    // Windows reads as many fields as Size says; the later ones (control-flow guard and on) stay
    // unset because they are not there.
    record.Size = sizeof record;
    record.Reserved1 = static_cast<WORD>(kLoadLibrarySearchSystem32);
    return record;
}

}  // namespace

// The linker knows this name but, in the binutils this is built with, does not point the header's
// load-configuration entry at it: tools/pe_finish.py does that after the link, from the symbol
// table, before the program is stripped. constexpr: the loader reads it before any code of the
// program runs, so it must be in the file as it is, not filled by a constructor.
extern "C" __attribute__((used)) constexpr IMAGE_LOAD_CONFIG_DIRECTORY64 _load_config_used = Record();
