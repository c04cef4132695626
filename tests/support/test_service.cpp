// A real service for the service tests; its command line chooses how it meets a stop request.
//
//   purgix_test_service.exe normal          stops at once
//   purgix_test_service.exe linger SECONDS  reports stop-pending for SECONDS, then stops
//   purgix_test_service.exe refuse          accepts no stop control
//   purgix_test_service.exe running         accepts the stop but goes on running
//
// Whatever the mode, it stops when the event "PurgixTestServiceQuit_<service name>" is set, so a
// test can always clean up after itself.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

enum class Mode { kNormal, kLinger, kRefuse, kRunning };

Mode g_mode = Mode::kNormal;
DWORD g_lingerMs = 0;
SERVICE_STATUS_HANDLE g_statusHandle = nullptr;
HANDLE g_stopRequested = nullptr;
HANDLE g_quit = nullptr;
DWORD g_checkPoint = 0;

void Report(DWORD state, DWORD waitHint) {
    SERVICE_STATUS status = {};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted = (state == SERVICE_RUNNING && g_mode != Mode::kRefuse) ? SERVICE_ACCEPT_STOP : 0;
    status.dwWin32ExitCode = NO_ERROR;
    status.dwCheckPoint = (state == SERVICE_RUNNING || state == SERVICE_STOPPED) ? 0 : ++g_checkPoint;
    status.dwWaitHint = waitHint;
    SetServiceStatus(g_statusHandle, &status);
}

DWORD WINAPI Handler(DWORD control, DWORD, void*, void*) {
    switch (control) {
    case SERVICE_CONTROL_STOP:
        if (g_mode == Mode::kRefuse) return ERROR_CALL_NOT_IMPLEMENTED;
        if (g_mode == Mode::kRunning) {
            Report(SERVICE_RUNNING, 0);
            return NO_ERROR;
        }
        Report(SERVICE_STOP_PENDING, g_mode == Mode::kLinger ? g_lingerMs + 2000 : 2000);
        SetEvent(g_stopRequested);
        return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
        return NO_ERROR;
    default:
        return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

void WINAPI ServiceMain(DWORD argc, char** argv) {
    const char* name = argc > 0 ? argv[0] : "";
    g_statusHandle = RegisterServiceCtrlHandlerExA(name, Handler, nullptr);
    if (!g_statusHandle) return;
    char quitName[300];
    std::snprintf(quitName, sizeof quitName, "PurgixTestServiceQuit_%s", name);
    g_quit = CreateEventA(nullptr, TRUE, FALSE, quitName);
    g_stopRequested = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    Report(SERVICE_RUNNING, 0);

    HANDLE waits[2] = {g_stopRequested, g_quit};
    DWORD which = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    if (which == WAIT_OBJECT_0 && g_mode == Mode::kLinger) {
        // Stays stop-pending, telling the manager it is still making progress, until the time is up.
        DWORD waited = 0;
        while (waited < g_lingerMs && WaitForSingleObject(g_quit, 250) == WAIT_TIMEOUT) {
            waited += 250;
            Report(SERVICE_STOP_PENDING, g_lingerMs - waited + 2000);
        }
    }
    Report(SERVICE_STOPPED, 0);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::strcmp(argv[1], "linger") == 0) {
        g_mode = Mode::kLinger;
        g_lingerMs = argc >= 3 ? static_cast<DWORD>(std::strtoul(argv[2], nullptr, 10)) * 1000 : 5000;
    } else if (argc >= 2 && std::strcmp(argv[1], "refuse") == 0) {
        g_mode = Mode::kRefuse;
    } else if (argc >= 2 && std::strcmp(argv[1], "running") == 0) {
        g_mode = Mode::kRunning;
    }
    char empty[] = "";
    SERVICE_TABLE_ENTRYA table[] = {{empty, ServiceMain}, {nullptr, nullptr}};
    return StartServiceCtrlDispatcherA(table) ? 0 : 1;
}
