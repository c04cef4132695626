// Stopping a service by name through the service control manager.
#pragma once
#include <cstdint>

// Polls of a stop-pending service, one a second, before it is given up as not stopped.
constexpr int32_t kStopPendingPollLimit = 30;

// 1 when the service accepted the stop and was then seen stopped; 0 for a missing service, a
// refused stop, a service still running, or one still stop-pending after the poll limit.
int32_t StopService(const char* name);
// StopService with another poll limit.
int32_t StopServiceWithin(const char* name, int32_t pollLimit);
