#include "runner/RunMain.h"

#include "app/RyConfigInfo.h"
#include "core/RyStatus.h"
#include "runner/RunnerOptions.h"
#include "runner/RunnerSession.h"
#include "runner/RunnerWorld.h"
#include "runner/RyEnglishResource.h"
#include "runner/RyRunnerCmdLine.h"
#include "runner/RyTerminalProgress.h"
#include "sim/FlashImage.h"
#include "updater/RyUpdater.h"

namespace {

bool SaveImages(const RunnerOptions& options, sim::Flash& flash, std::ostream& out,
                std::ostream& err) {
  bool saved = true;
  if (!options.saveFlashPath.empty()) {
    if (sim::SaveFlashImage(flash, options.saveFlashPath)) {
      out << "Saved the player's flash to " << options.saveFlashPath << '\n';
    } else {
      err << "ombra-run: cannot save the flash image to " << options.saveFlashPath << '\n';
      saved = false;
    }
  }
  if (!options.saveDataPath.empty()) {
    if (sim::SaveDataDriveImage(flash, options.saveDataPath)) {
      out << "Saved the player's data drive to " << options.saveDataPath << '\n';
    } else {
      err << "ombra-run: cannot save the data drive to " << options.saveDataPath
          << (flash.DataDrive() == nullptr ? " (the player has no data drive)" : "") << '\n';
      saved = false;
    }
  }
  return saved;
}

int Run(const RunnerOptions& options, std::ostream& out, std::ostream& err) {
  // The machine outlives everything that runs on it.
  RunnerWorld world(options);
  CRyConfigInfo config;
  CRyEnglishResource resource(&config);
  config.SetResource(&resource);
  CRyRunnerCmdLine commandLine(options.fat16);
  CRyTerminalProgress progress(out, &resource, options.progress);
  CRyUpdater updater(&config, "CRyUpdater");
  if (updater.GetStatus() != RyStatus::kSuccess) {
    err << "ombra-run: the updater cannot be created\n";
    return kRunFailed;
  }
  updater.SetCommandLine(&commandLine);
  updater.SetResource(&resource);
  updater.SetProgress(&progress);

  std::vector<std::string> missing;
  world.CopyImages(config, missing);
  for (const std::string& path : missing) err << "ombra-run: cannot read " << path << '\n';
  if (const std::string problem = world.Prepare(&updater); !problem.empty()) {
    err << "ombra-run: " << problem << '\n';
    return kRunFailed;
  }

  RunnerSession session(updater, config, resource, RunnerConsole{out, err, progress}, options);
  const std::int32_t result = session.Run();
  if (options.recovery && world.RecoveryImageBytes() != 0) {
    out << "The player took a recovery image of " << world.RecoveryImageBytes() << " bytes\n";
  }
  // Saved also after a failure: the flash shows how far the update got.
  const bool saved = SaveImages(options, world.Player().GetFlash(), out, err);
  return result == RyStatus::kSuccess && saved ? kRunSucceeded : kRunFailed;
}

}  // namespace

int RunMain(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
            bool outIsTerminal) {
  RunnerOptions options;
  std::string error;
  if (ParseRunnerOptions(args, options, error) != 0) {
    err << "ombra-run: " << error << "\n\n" << RunnerUsage();
    return kBadOptions;
  }
  if (options.showUsage) {
    out << RunnerUsage();
    return kRunSucceeded;
  }
  if (!options.progressGiven) {
    options.progress = outIsTerminal ? ProgressStyle::kBars : ProgressStyle::kLines;
  }
  return Run(options, out, err);
}
