// Stopping a service by name through the service control manager.
#include "memory/service_stop.h"

#include <windows.h>

namespace {

constexpr DWORD kAllAccess = 0xF003F;  // SC_MANAGER_ALL_ACCESS; for a service: stop, query, configure, standard rights

// Both handles are closed however the procedure is left: the manager first, then the service
// if it is still open.
struct ServiceHandles {
    SC_HANDLE manager = nullptr;
    SC_HANDLE service = nullptr;
    ServiceHandles() = default;
    ServiceHandles(const ServiceHandles&) = delete;
    ServiceHandles& operator=(const ServiceHandles&) = delete;
    ~ServiceHandles() {
        if (manager) CloseServiceHandle(manager);
        if (service) CloseServiceHandle(service);
    }
};

}  // namespace

int32_t StopServiceWithin(const char* name, int32_t pollLimit) {
    ServiceHandles handles;
    handles.manager = OpenSCManagerA(nullptr, nullptr, kAllAccess);
    if (!handles.manager) return 0;
    handles.service = OpenServiceA(handles.manager, name, kAllAccess);
    if (!handles.service) return 0;

    int32_t stopped = 0;
    SERVICE_STATUS status = {};
    if (ControlService(handles.service, SERVICE_CONTROL_STOP, &status)) {
        DWORD lastState = status.dwCurrentState;
        bool queried = QueryServiceStatus(handles.service, &status) != FALSE;
        if (queried) lastState = status.dwCurrentState;
        // A service may hang in stop-pending for ever; the scan must not hang with it.
        for (int32_t polls = 0; queried && lastState == SERVICE_STOP_PENDING && polls < pollLimit; ++polls) {
            Sleep(1000);
            queried = QueryServiceStatus(handles.service, &status) != FALSE;
            if (queried) lastState = status.dwCurrentState;
        }
        stopped = lastState == SERVICE_STOPPED ? 1 : 0;
    }
    CloseServiceHandle(handles.service);
    handles.service = nullptr;
    return stopped;
}

int32_t StopService(const char* name) { return StopServiceWithin(name, kStopPendingPollLimit); }
