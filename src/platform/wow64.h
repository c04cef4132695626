// What a program meets on 64-bit Windows: two registry views, and, for the 32-bit build, file-system
// redirection of System32 to SysWOW64.
#pragma once
#include <windows.h>

// True on 64-bit Windows: always for the 64-bit build; the 32-bit build asks the system (the call
// exists from XP SP2 on; older systems are 32-bit).
bool OnSixtyFourBitWindows();

// The registry views to clean, as flags to add to an access mask: the 64-bit and the 32-bit view
// on 64-bit Windows; else one entry of 0, as older systems refuse the view flags. Returns the count.
int RegistryViews(REGSAM views[2]);

// For the life of the object, a 32-bit program on 64-bit Windows sees the file system as it is:
// System32 is System32, not SysWOW64. Elsewhere it changes nothing.
class FileSystemRedirectionOff {
public:
    FileSystemRedirectionOff();
    ~FileSystemRedirectionOff();
    FileSystemRedirectionOff(const FileSystemRedirectionOff&) = delete;
    FileSystemRedirectionOff& operator=(const FileSystemRedirectionOff&) = delete;

private:
    bool owner_ = false;
};

// Turns the redirection back on while a FileSystemRedirectionOff is alive, for the life of the
// object: for loading a DLL (which must be the 32-bit one) and for window code, which may load DLLs
// of its own.
class FileSystemRedirectionPause {
public:
    FileSystemRedirectionPause();
    ~FileSystemRedirectionPause();
    FileSystemRedirectionPause(const FileSystemRedirectionPause&) = delete;
    FileSystemRedirectionPause& operator=(const FileSystemRedirectionPause&) = delete;

private:
    bool paused_ = false;
};
