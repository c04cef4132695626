// Stands in for the web browser in test prefixes: appends every address it is asked to open to C:\opened-urls.txt.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    FILE* log = fopen("C:\\opened-urls.txt", "ab");
    if (!log) return 1;
    fprintf(log, "%s\n", commandLine);
    fclose(log);
    return 0;
}
