// The baseline a print dialog is measured against: a process that only opens a PPD with libcups,
// marks its defaults and checks its constraints, as any program that prints through a PPD must.
// Usage: ppd_baseline PPD; exit status 0 when libcups read the file.

// libcups marks its PPD API deprecated; the baseline is what that API costs.
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <cups/ppd.h>

#include <cstdio>

int main(int argc, char **argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ppd_baseline PPD\n");
        return 2;
    }
    ppd_file_t *ppd = ppdOpenFile(argv[1]);
    if (ppd == nullptr) return 1;
    ppdMarkDefaults(ppd);
    int conflicts = ppdConflicts(ppd);
    std::printf("%s: %d options, %d constraints, %d conflicts\n", ppd->modelname ? ppd->modelname : "?",
                ppd->num_groups, ppd->num_consts, conflicts);
    ppdClose(ppd);
    return 0;
}
