// ombra-run: the firmware update of ombra against an emulated player on the
// simulated machine, without windows. See RunnerUsage for the options.

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#define OMBRA_ISATTY _isatty
#define OMBRA_FILENO _fileno
#else
#include <unistd.h>
#define OMBRA_ISATTY isatty
#define OMBRA_FILENO fileno
#endif

#include "runner/RunMain.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const bool terminal = OMBRA_ISATTY(OMBRA_FILENO(stdout)) != 0;
  return RunMain(args, std::cout, std::cerr, terminal);
}
