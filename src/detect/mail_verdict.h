// The verdict on a mail file: does it carry a known worm body, and which record says so.
#pragma once
#include "core/mail_scan.h"

// The mail-file record the file at `path` matches, or null (not one, unreadable).
const MailSignatureRecord* MatchMailRecord(const char* path);
