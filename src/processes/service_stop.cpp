// Stopping a service by name through the service control manager.
#include "processes/service_stop.h"

#include <windows.h>

#include "platform/handles.h"

int32_t StopServiceWithin(const char* name, int32_t pollLimit) {
    // Both handles are closed however the procedure is left: the manager first (declared last),
    // then the service if it is still open.
    OwnedService service;
    OwnedService manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) return 0;
    // The manager's all-access value, which for a service grants stop, status query, configuration
    // and the standard rights.
    *service.out() = OpenServiceA(manager.get(), name, SC_MANAGER_ALL_ACCESS);
    if (!service) return 0;

    int32_t stopped = 0;
    SERVICE_STATUS status = {};
    if (ControlService(service.get(), SERVICE_CONTROL_STOP, &status)) {
        DWORD lastState = status.dwCurrentState;
        bool queried = QueryServiceStatus(service.get(), &status) != FALSE;
        if (queried) lastState = status.dwCurrentState;
        // A service may hang in stop-pending for ever; the scan must not hang with it.
        for (int32_t polls = 0; queried && lastState == SERVICE_STOP_PENDING && polls < pollLimit; ++polls) {
            Sleep(1000);
            queried = QueryServiceStatus(service.get(), &status) != FALSE;
            if (queried) lastState = status.dwCurrentState;
        }
        stopped = lastState == SERVICE_STOPPED ? 1 : 0;
    }
    service.Close();
    return stopped;
}

int32_t StopService(const char* name) { return StopServiceWithin(name, kStopPendingPollLimit); }
