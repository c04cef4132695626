// Whether a process runs a given file, as the system tells it from the process itself.
#pragma once
#include <windows.h>

#include <cstdint>

#include "core/process_identity.h"
#include "platform/named_file.h"

// `process` is open with query rights (on NT 6 and later the limited ones do) and, where granted,
// read rights. On the NT line its image path comes from the process-status library or the kernel,
// or from its own process parameters (NT 4 without the library), and is compared with the file's
// true path; on the 9x line from the library where one is installed, else from a tool-help
// snapshot taken now, whose entries carry full paths there. Unknown when nothing tells.
ImageMatch ProcessRunsFile(HANDLE process, uint32_t processId, const NamedFile& file);
