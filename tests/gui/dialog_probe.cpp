// Shows the skinned message dialog for the GUI tests and prints its result: dialog_probe STYLE TEXT TITLE [large-fonts].
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "ui/message_dialog.h"
#include "ui/skin_state.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: dialog_probe STYLE TEXT TITLE [large-fonts]\n");
        return 2;
    }
    const uint32_t style = static_cast<uint32_t>(strtoul(argv[1], nullptr, 0));
    // Tests pass "\n" as two characters; the dialog's callers pass real line feeds.
    static char text[1024];
    size_t out = 0;
    for (const char* p = argv[2]; *p && out + 1 < sizeof text; ++p) {
        if (p[0] == '\\' && p[1] == 'n') {
            text[out++] = '\n';
            ++p;
        } else {
            text[out++] = *p;
        }
    }
    text[out] = '\0';
    LargeFonts = argc > 4 && strcmp(argv[4], "large-fonts") == 0;
    const int32_t result = ShowMessageDialog(text, argv[3], style);
    printf("result %d\n", static_cast<int>(result));
    fflush(stdout);
    return 0;
}
