#pragma once
// The runner's main routine, callable from tests: parses the options, builds
// the simulated machine with the player, runs the session and saves the
// player's images. Exit status 0 only when the update succeeded; 1 when it
// or the run failed; 2 for bad options.

#include <ostream>
#include <string>
#include <vector>

inline constexpr int kRunSucceeded = 0;
inline constexpr int kRunFailed = 1;
inline constexpr int kBadOptions = 2;

// outIsTerminal chooses the progress style when no option does.
int RunMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            bool outIsTerminal);
