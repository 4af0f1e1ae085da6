#pragma once
// The fault options of the runner: faults of the emulated player and of the
// recovery driver, each written as one short word.
//
//   --fault KIND:N[+][:FILTER][:VALUE]
//     KIND    fail (CHECK CONDITION), fail-after (the command takes effect,
//             then fails), corrupt (a sector read comes back with one byte
//             flipped), short (fewer answer bytes), vanish (the player is
//             unplugged), delay (the command takes time)
//     N       the nth command that matches, from the start of the run; "+"
//             hits that one and every later one
//     FILTER  * (any command), OP or OP/SUB in hexadecimal, e.g. C1/23
//     VALUE   fail: the player's vendor code in hexadecimal (default: an
//             aborted command); corrupt: the byte offset; short: the answer
//             length; delay: milliseconds
//   --recovery-fault KIND[:WRITE]   short, never or refuse, at write WRITE
//                                   (0 = the first)

#include <string>

#include "sim/FaultPlan.h"
#include "sim/RecoveryDriver.h"

struct RecoveryFaultOption;

// false with a message in error.
bool ParseFaultOption(const std::string& text, sim::Fault& fault, std::string& error);
bool ParseRecoveryFaultOption(const std::string& text, RecoveryFaultOption& option,
                              std::string& error);
