#include "runner/RunnerSession.h"

#include <cstdio>
#include <string>

#include "app/RyConfigInfo.h"
#include "core/RyStatus.h"
#include "core/RyVersionInfo.h"
#include "device/RyErrorRecord.h"
#include "os/Os.h"
#include "runner/RyEnglishResource.h"
#include "runner/RyTerminalProgress.h"
#include "runner/StatusReport.h"
#include "runner/TextEncoding.h"
#include "updater/RyUpdater.h"

namespace {

constexpr int kRecoveryDownloadText = 103;
constexpr int kRecoveryWaitText = 104;
constexpr int kMustFormatText = 161;
constexpr std::uint32_t kPollMs = 500;
constexpr std::uint32_t kSettleStepMs = 100;

enum UpdateMode { kModeFormat = 0, kModeKeepData = 1 };

bool IsFound(std::int32_t status) {
  return status == RyStatus::kSuccess || status == RyStatus::kLogicalTableUnreadable;
}

std::string VersionText(const CRyVersionInfo* version) {
  return version != nullptr ? ToUtf8(version->ToString()) : std::string("unknown");
}

std::string ElementText(CRyVersionInfoPtrArray* versions, std::uint32_t index) {
  CRyVersionInfo* version = nullptr;
  if (versions == nullptr || versions->GetAt(index, version) != RyStatus::kSuccess) {
    return "unknown";
  }
  return VersionText(version);
}

std::string Padded(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

}  // namespace

RunnerSession::RunnerSession(CRyUpdater& updater, CRyConfigInfo& config,
                             CRyEnglishResource& resource, RunnerConsole console,
                             const RunnerOptions& options)
    : updater(updater), config(config), resource(resource), console(console), options(options) {}

std::int32_t RunnerSession::Run() {
  const std::int32_t found = Search();
  if (!IsFound(found)) return found;
  // Start reopens the player; the search leaves it closed.
  updater.Disconnect();
  ShowVersions(found);
  return Start();
}

void RunnerSession::Say(const std::string& line) {
  console.progress.EndLine();
  console.out << line << '\n';
  console.out.flush();
}

void RunnerSession::Fail(const std::string& what, std::int32_t status) {
  console.progress.EndLine();
  console.err << "ombra-run: " << what << ": " << DescribeStatus(resource, status) << '\n';
  const CRyErrorRecord* record = updater.GetErrorRecord();
  if (record != nullptr) {
    const std::string details = DescribeErrorRecord(*record, config);
    if (!details.empty()) console.err << details << '\n';
  }
  console.err.flush();
}

std::int32_t RunnerSession::Search() {
  std::wstring searching;
  resource.GetText(102, searching);
  Say(ToUtf8(searching) + " ...");
  std::int32_t status = RyStatus::kPlayerNotFound;
  for (std::uint32_t round = 1; round <= options.searchRounds; ++round) {
    status = updater.ConnectUsbDevice();
    if (IsFound(status)) return status;
    if (status == RyStatus::kFileOpenFailed) {
      Fail("a firmware image cannot be opened", status);
      return status;
    }
    Say("  round " + std::to_string(round) + ": " + DescribeStatus(resource, status));
    const std::int32_t recovery = TryRecovery();
    if (recovery != RyStatus::kSuccess) return recovery;
  }
  Fail("no player found after " + std::to_string(options.searchRounds) + " search rounds", status);
  return status;
}

std::int32_t RunnerSession::TryRecovery() {
  const std::int32_t opened = updater.ConnectRecoveryDevice();
  if (opened == RyStatus::kFileOpenFailed) {
    Fail("the recovery image cannot be opened", opened);
    return opened;
  }
  if (opened != RyStatus::kSuccess) {
    Say("  no player in recovery mode: " + DescribeStatus(resource, opened));
    return RyStatus::kSuccess;
  }
  const DWORD driveMask = os::GetLogicalDrives();
  std::wstring text;
  resource.GetText(kRecoveryDownloadText, text);
  Say("  " + ToUtf8(text));
  console.progress.BeginOperation();
  const std::int32_t pushed = updater.RecoveryUpdate(&console.progress);
  console.progress.EndOperation();
  if (pushed != RyStatus::kSuccess) {
    Fail("the recovery download failed", pushed);
    return pushed;
  }
  resource.GetText(kRecoveryWaitText, text);
  Say("  " + ToUtf8(text));
  WaitForDriveChange(driveMask);
  return RyStatus::kSuccess;
}

// On the machine's clock: a simulated wait costs no real time.
void RunnerSession::WaitForDriveChange(std::uint32_t driveMask) {
  const DWORD start = os::GetTickCount();
  while (os::GetLogicalDrives() == driveMask &&
         os::GetTickCount() - start <= kDriveChangeTimeoutMs) {
    os::Sleep(kPollMs);
  }
  for (std::uint32_t waited = 0; waited < kSettleMs; waited += kSettleStepMs) {
    os::Sleep(kSettleStepMs);
  }
}

void RunnerSession::ShowVersions(std::int32_t connectStatus) {
  const bool tableRead = connectStatus == RyStatus::kSuccess;
  std::string drive = "?";
  if (const wchar_t letter = updater.GetDriveLetter(); letter != 0) {
    drive = ToUtf8(std::wstring(1, letter)) + ":";
  }
  Say("Player found on drive " + drive);
  if (!tableRead) Say("  " + DescribeStatus(resource, connectStatus));
  CRyVersionInfo* deviceVersion = nullptr;
  CRyVersionInfo* imageVersion = nullptr;
  updater.GetProductVersions(deviceVersion, imageVersion);
  Say("  current firmware version: " +
      (tableRead ? VersionText(deviceVersion) : std::string("unknown")));
  Say("  upgrade firmware version: " + VersionText(imageVersion));
  CRyVersionInfoPtrArray* deviceComponents = nullptr;
  CRyVersionInfoPtrArray* imageComponents = nullptr;
  if (updater.GetComponentVersions(deviceComponents, imageComponents) == RyStatus::kSuccess) {
    std::uint8_t count = 0;
    config.GetNumComponents(count);
    Say("  component           current       upgrade");
    for (std::uint8_t number = 1; number <= count; ++number) {
      std::wstring name;
      config.GetComponentDisplayName(number, name);
      Say("  " + Padded(ToUtf8(name), 18) + "  " +
          Padded(tableRead ? ElementText(deviceComponents, number - 1u) : "unknown", 12) + "  " +
          ElementText(imageComponents, number - 1u));
    }
  }
  std::uint16_t chip = 0;
  updater.GetChipRevision(chip);
  char chipText[16];
  std::snprintf(chipText, sizeof chipText, "%x", static_cast<unsigned>(chip));
  Say(std::string("  chip revision: ") + chipText);
}

std::int32_t RunnerSession::ChooseUpdateMode(int& mode) {
  if (options.choice == UpdateChoice::kFormat) {
    mode = kModeFormat;
    return RyStatus::kSuccess;
  }
  mode = kModeKeepData;
  if (options.choice == UpdateChoice::kKeepData) return RyStatus::kSuccess;
  int formatDefault = 0;
  config.GetFormatDataAreaDefault(formatDefault);
  if (formatDefault != 0) {
    mode = kModeFormat;
    return RyStatus::kSuccess;
  }
  int fits = 0;
  if (const std::int32_t result = updater.CheckLayoutFits(fits); result != RyStatus::kSuccess) {
    return result;
  }
  if (fits == 0) {
    // Unattended, as with the quiet option: format without asking.
    std::wstring text;
    resource.GetText(kMustFormatText, text);
    Say(ToUtf8(text));
    mode = kModeFormat;
  }
  return RyStatus::kSuccess;
}

std::int32_t RunnerSession::Start() {
  CRyTerminalProgress& progress = console.progress;
  progress.BeginOperation();
  std::int32_t status = updater.ConnectUsbDevice();
  if (!IsFound(status)) {
    progress.EndOperation();
    if (status == RyStatus::kPlayerNotFound) status = RyStatus::kNoPlayerForUpdate;
    Fail("the player cannot be reopened", status);
    return status;
  }
  int mode = kModeKeepData;
  status = ChooseUpdateMode(mode);
  if (status != RyStatus::kSuccess) {
    progress.EndOperation();
    Fail("the player's layout cannot be checked", status);
    return status;
  }
  Say(mode == kModeFormat
          ? "Updating the firmware, re-cutting the flash and formatting the data area"
          : "Updating the firmware, keeping the data area");
  const std::int32_t result = mode == kModeFormat ? updater.UpdateAndFormat() : updater.Update();
  progress.BeginPhase(result == RyStatus::kSuccess ? CRyTerminalProgress::kSucceededPhase
                                                   : CRyTerminalProgress::kFailedPhase,
                      1);
  progress.Advance(1);
  progress.EndLine();
  progress.EndOperation();
  if (result != RyStatus::kSuccess) {
    Fail("the update failed", result);
    return result;
  }
  ShowResultVersions();
  return result;
}

void RunnerSession::ShowResultVersions() {
  CRyVersionInfo* deviceVersion = nullptr;
  CRyVersionInfo* imageVersion = nullptr;
  updater.GetProductVersions(deviceVersion, imageVersion);
  Say("The player now runs firmware version " + VersionText(deviceVersion));
}
