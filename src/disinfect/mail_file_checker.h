// Removal of a uuencoded mail file that carries a known worm body (the hosts file is handed here).
#pragma once
#include <cstdint>

// 1 when the file matched, whatever became of it; 0 otherwise. Writes its own result line.
int32_t MailFileChecker(const char* detectionName, const char* path);
