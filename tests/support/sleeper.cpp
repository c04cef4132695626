// Does nothing until it is ended: the running "worm" (once padded into a sample) and the clean bystander of the memory tests.
#include <windows.h>

int main() {
    for (;;) Sleep(INFINITE);
}
