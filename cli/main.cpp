// talmirc: compiles one source file from the command line.
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_host.h"

#if defined(_WIN32)
#include <io.h>
#define TALMIR_ISATTY _isatty
#else
#include <unistd.h>
#define TALMIR_ISATTY isatty
#endif

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    bool spinner = TALMIR_ISATTY(2) != 0;
    int rc = TalmircMain(args, std::cout, std::cerr, spinner);
    std::cout.flush();
    std::cerr.flush();
    return rc;
}
