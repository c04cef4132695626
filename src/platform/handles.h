// Small owners that close a handle when they go: process and file handles, searches, registry
// keys, libraries, service-manager handles.
#pragma once
#include <windows.h>

// Owns one handle of a kind that `Rules` knows how to tell open and to close. Close() closes now
// and tells whether that succeeded (some callers must report it); a handle that was never opened
// closes as a success.
template <typename Handle, typename Rules>
class Owned {
public:
    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    ~Owned() { Close(); }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;

    Handle get() const { return handle_; }
    Handle* out() { return &handle_; }  // for calls that hand back a new handle
    explicit operator bool() const { return Rules::IsOpen(handle_); }
    bool Close() {
        if (!Rules::IsOpen(handle_)) return true;
        const bool closed = Rules::Close(handle_);
        handle_ = Handle{};
        return closed;
    }
    // Takes a new handle, closing the one held.
    void Reset(Handle handle) {
        Close();
        handle_ = handle;
    }
    // Hands the handle over to a new owner (the system, for one): it is no longer closed here.
    Handle Release() {
        const Handle handle = handle_;
        handle_ = Handle{};
        return handle;
    }

private:
    Handle handle_{};
};

namespace handle_rules {
struct Kernel {
    static bool IsOpen(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static bool Close(HANDLE h) { return CloseHandle(h) != FALSE; }
};
struct Search {
    static bool IsOpen(HANDLE h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
    static bool Close(HANDLE h) { return FindClose(h) != FALSE; }
};
struct Key {
    static bool IsOpen(HKEY h) { return h != nullptr; }
    static bool Close(HKEY h) { return RegCloseKey(h) == ERROR_SUCCESS; }
};
struct Library {
    static bool IsOpen(HMODULE h) { return h != nullptr; }
    static bool Close(HMODULE h) { return FreeLibrary(h) != FALSE; }
};
struct Service {
    static bool IsOpen(SC_HANDLE h) { return h != nullptr; }
    static bool Close(SC_HANDLE h) { return CloseServiceHandle(h) != FALSE; }
};
}  // namespace handle_rules

using OwnedHandle = Owned<HANDLE, handle_rules::Kernel>;
using OwnedSearch = Owned<HANDLE, handle_rules::Search>;
using OwnedKey = Owned<HKEY, handle_rules::Key>;
using OwnedLibrary = Owned<HMODULE, handle_rules::Library>;
using OwnedService = Owned<SC_HANDLE, handle_rules::Service>;
