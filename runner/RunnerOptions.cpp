#include "runner/RunnerOptions.h"

#include <functional>

#include "runner/FaultOption.h"
#include "runner/NumberParse.h"

namespace {

template <typename Value>
struct Named {
  const char* name;
  Value value;
};

constexpr Named<PlayerState> kStates[] = {
    {"current", PlayerState::kCurrent}, {"older", PlayerState::kOlder},
    {"blank", PlayerState::kBlank},     {"unreadable", PlayerState::kUnreadable},
    {"small", PlayerState::kSmall},     {"absent", PlayerState::kAbsent},
};

constexpr Named<UpdateChoice> kChoices[] = {
    {"auto", UpdateChoice::kAsDialog},
    {"keep-data", UpdateChoice::kKeepData},
    {"format", UpdateChoice::kFormat},
};

constexpr Named<ProgressStyle> kStyles[] = {
    {"bars", ProgressStyle::kBars},
    {"lines", ProgressStyle::kLines},
    {"quiet", ProgressStyle::kQuiet},
};

template <typename Value, std::size_t N>
bool Lookup(const Named<Value> (&table)[N], const std::string& text, Value& out) {
  for (const Named<Value>& entry : table) {
    if (text == entry.name) {
      out = entry.value;
      return true;
    }
  }
  return false;
}

bool ParseCount(const std::string& text, std::uint64_t low, std::uint64_t high,
                std::uint32_t& out) {
  std::uint64_t value = 0;
  if (!ParseDecimal(text, high, value) || value < low) return false;
  out = static_cast<std::uint32_t>(value);
  return true;
}

// An option's handler: false with a message in error.
using ValueHandler =
    std::function<bool(const std::string& value, RunnerOptions& options, std::string& error)>;

struct ValueOption {
  const char* name;
  ValueHandler handle;
};

bool Fail(std::string& error, const std::string& message) {
  error = message;
  return false;
}

const ValueOption kValueOptions[] = {
    {"--state",
     [](const std::string& v, RunnerOptions& o, std::string& e) {
       if (v == "recovery") {
         o.recovery = true;
         o.state = PlayerState::kBlank;
         return true;
       }
       return Lookup(kStates, v, o.state) ||
              Fail(e, "unknown --state '" + v +
                          "' (current, older, blank, unreadable, small, recovery, absent)");
     }},
    {"--mode",
     [](const std::string& v, RunnerOptions& o, std::string& e) {
       return Lookup(kChoices, v, o.choice) ||
              Fail(e, "unknown --mode '" + v + "' (auto, keep-data, format)");
     }},
    {"--flash-mib",
     [](const std::string& v, RunnerOptions& o, std::string& e) {
       return ParseCount(v, 4, 1024, o.flashMiB) ||
              Fail(e, "--flash-mib needs a number from 4 to 1024");
     }},
    {"--rounds",
     [](const std::string& v, RunnerOptions& o, std::string& e) {
       return ParseCount(v, 1, 100, o.searchRounds) ||
              Fail(e, "--rounds needs a number from 1 to 100");
     }},
    {"--fault",
     [](const std::string& v, RunnerOptions& o, std::string& e) {
       sim::Fault fault;
       if (!ParseFaultOption(v, fault, e)) return false;
       o.faults.push_back(fault);
       return true;
     }},
    {"--recovery-fault",
     [](const std::string& v, RunnerOptions& o, std::string& e) {
       return ParseRecoveryFaultOption(v, o.recoveryFault, e);
     }},
    {"--progress",
     [](const std::string& v, RunnerOptions& o, std::string& e) {
       o.progressGiven = true;
       return Lookup(kStyles, v, o.progress) ||
              Fail(e, "unknown --progress '" + v + "' (bars, lines, quiet)");
     }},
};

// Options whose value is kept as it is.
struct TextOption {
  const char* name;
  std::string RunnerOptions::*field;
};

const TextOption kTextOptions[] = {
    {"--images", &RunnerOptions::imageDirectory},
    {"--player-images", &RunnerOptions::playerImageDirectory},
    {"--load-flash", &RunnerOptions::loadFlashPath},
    {"--save-flash", &RunnerOptions::saveFlashPath},
    {"--save-data", &RunnerOptions::saveDataPath},
};

struct FlagOption {
  const char* name;
  void (*set)(RunnerOptions& options);
};

const FlagOption kFlagOptions[] = {
    {"--recovery", [](RunnerOptions& o) { o.recovery = true; }},
    {"--fat16", [](RunnerOptions& o) { o.fat16 = true; }},
    {"--quiet",
     [](RunnerOptions& o) {
       o.progressGiven = true;
       o.progress = ProgressStyle::kQuiet;
     }},
    {"--help", [](RunnerOptions& o) { o.showUsage = true; }},
};

template <typename Option, std::size_t N>
const Option* FindOption(const Option (&table)[N], const std::string& name) {
  for (const Option& option : table) {
    if (name == option.name) return &option;
  }
  return nullptr;
}

bool CheckCombination(RunnerOptions& options, bool stateGiven, std::string& error) {
  if (options.showUsage) return true;
  if (options.imageDirectory.empty()) return Fail(error, "--images DIR is required");
  if (!options.loadFlashPath.empty()) {
    if (stateGiven) return Fail(error, "--load-flash and --state exclude each other");
    options.state = PlayerState::kSaved;
  }
  return true;
}

}  // namespace

int ParseRunnerOptions(const std::vector<std::string>& args, RunnerOptions& options,
                       std::string& error) {
  constexpr int kBadOptions = 2;
  bool stateGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& name = args[i];
    if (const FlagOption* flag = FindOption(kFlagOptions, name)) {
      flag->set(options);
      continue;
    }
    const TextOption* text = FindOption(kTextOptions, name);
    const ValueOption* option = FindOption(kValueOptions, name);
    if (text == nullptr && option == nullptr) {
      error = "unknown option '" + name + "'";
      return kBadOptions;
    }
    if (i + 1 >= args.size()) {
      error = name + " needs a value";
      return kBadOptions;
    }
    const std::string& value = args[++i];
    if (text != nullptr) {
      options.*(text->field) = value;
    } else if (!option->handle(value, options, error)) {
      return kBadOptions;
    }
    if (name == "--state") stateGiven = true;
  }
  if (!CheckCombination(options, stateGiven, error)) return kBadOptions;
  return 0;
}

std::string RunnerUsage() {
  return "usage: ombra-run --images DIR [options]\n"
         "Runs the firmware update of ombra against an emulated K520 player on a\n"
         "simulated Windows XP machine.\n"
         "\n"
         "  --images DIR          the carried firmware images (bootmanager.sb, usbmsc.sb,\n"
         "                        rdmxsys.sb, resource.bin)\n"
         "  --state STATE         the player at the start: older (default), current,\n"
         "                        blank, unreadable, small, recovery, absent (no player)\n"
         "  --player-images DIR   the images an older or current player holds (default:\n"
         "                        older: the carried images' bytes inverted, version 0.0.1;\n"
         "                        current: the carried images)\n"
         "  --load-flash FILE     start from a saved flash image instead of --state\n"
         "  --recovery            the player starts in recovery mode and comes back as a\n"
         "                        disk with the flash of --state (--state recovery: blank)\n"
         "  --mode MODE           auto (as the main dialog decides, default), keep-data\n"
         "                        (update only), format (re-cut and format)\n"
         "  --fat16               force FAT16 for the data drive\n"
         "  --flash-mib N         the player's flash size in MiB (4-1024, default 32)\n"
         "  --rounds N            search rounds before giving up (1-100, default 3)\n"
         "  --fault FAULT         inject a player fault: KIND:N[+][:FILTER][:VALUE], KIND\n"
         "                        fail, fail-after, corrupt, short, vanish or delay; N the\n"
         "                        nth matching command (+: and every later one); FILTER *,\n"
         "                        OP or OP/SUB in hex; VALUE the vendor code in hex (fail),\n"
         "                        byte offset (corrupt), length (short), ms (delay)\n"
         "  --recovery-fault FAULT\n"
         "                        short, never or refuse[:WRITE] on the recovery driver\n"
         "  --save-flash FILE     save the player's flash afterwards\n"
         "  --save-data FILE      save the player's data drive afterwards (raw sectors)\n"
         "  --progress STYLE      bars, lines or quiet (default: bars on a terminal)\n"
         "  --quiet               the same as --progress quiet\n"
         "  --help                this text\n"
         "\n"
         "Exit status: 0 when the update succeeded, 1 when it failed, 2 for bad options.\n";
}
