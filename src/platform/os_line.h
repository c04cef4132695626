// Which Windows line the program runs on, asked afresh on every call.
#pragma once
#include "core/os_generations.h"

OsGeneration GetOsGeneration();
NtGeneration GetNtGeneration();
