#pragma once
// One run of the program without windows: the search loop of start-up
// (with the recovery download), what the main dialog shows, and its Start:
// the choice between the update that keeps the data area and the one that
// formats, the update, and the result.

#include <cstdint>
#include <ostream>

#include "runner/RunnerOptions.h"

class CRyConfigInfo;
class CRyEnglishResource;
class CRyTerminalProgress;
class CRyUpdater;

struct RunnerConsole {
  std::ostream& out;
  std::ostream& err;
  CRyTerminalProgress& progress;
};

class RunnerSession {
 public:
  // A player that comes back from recovery gets this long to show up, then
  // this long to settle, before the search probes again.
  static constexpr std::uint32_t kDriveChangeTimeoutMs = 120000;
  static constexpr std::uint32_t kSettleMs = 10000;

  // None is owned.
  RunnerSession(CRyUpdater& updater, CRyConfigInfo& config, CRyEnglishResource& resource,
                RunnerConsole console, const RunnerOptions& options);

  // The engine's result of the whole run: 0 only when the update succeeded.
  std::int32_t Run();

 private:
  // 0 or -43 once the player was found as a disk; else why not.
  std::int32_t Search();
  // 0 to go on searching; otherwise the run ends with that status.
  std::int32_t TryRecovery();
  void WaitForDriveChange(std::uint32_t driveMask);
  void ShowVersions(std::int32_t connectStatus);
  // Start of the main dialog: reconnect, choose, update, report.
  std::int32_t Start();
  // 0 with mode 0 (format) or 1 (keep the data area), or a failure.
  std::int32_t ChooseUpdateMode(int& mode);
  void ShowResultVersions();
  void Say(const std::string& line);
  void Fail(const std::string& what, std::int32_t status);

  CRyUpdater& updater;
  CRyConfigInfo& config;
  CRyEnglishResource& resource;
  RunnerConsole console;
  const RunnerOptions& options;
};
