/* A 32-bit console program that prints one word. The scripts run it under
   the WoW64 Wine to learn whether this host runs 32-bit code at all: on some
   hosts the kernel offers no 32-bit code segment, and there every 32-bit
   program dies at once, before a line of its own code.
   With --die it ends without the word, as it would on such a host: that is
   how PELVANE_X86_PROBE=die lets the scripts' other way be tried. */
#include <windows.h>

#include <string.h>

int main(int argc, char** argv) {
    static const char word[] = "pelvane-x86-runs\n";
    DWORD written = 0;
    if (argc > 1 && strcmp(argv[1], "--die") == 0) TerminateProcess(GetCurrentProcess(), 139);
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), word, sizeof word - 1, &written, NULL);
    return 0;
}
