// Discovery on NT: the player is the removable volume (or, for
// repartitioning, the physical drive) whose INQUIRY carries the configured
// identity and whose media query answers true.

#include <cwchar>
#include <string>

#include "core/RyStatus.h"
#include "device/RyScsiInquiry.h"
#include "device/RyScsiNt.h"
#include "os/Os.h"

namespace {

std::wstring DriveLetters() {
  std::wstring letters;
  const DWORD mask = os::GetLogicalDrives();
  for (int i = 0; i < 26; ++i) {
    if ((mask >> i) & 1u) letters += static_cast<wchar_t>(L'A' + i);
  }
  return letters;
}

}  // namespace

std::int32_t CRyScsi_Nt::FindPhysicalDrive() {
  CRyScsiInquiry inquiry;
  std::string product, vendor;
  FetchIdentity(product, vendor);
  CloseHandleIfOpen();
  for (int i = 0; i < kPhysicalDriveCount; ++i) {
    wchar_t path[32];
    std::swprintf(path, sizeof path / sizeof path[0], L"\\\\.\\PhysicalDrive%d", i);
    handle = OpenDevice(path);
    if (handle == INVALID_HANDLE_VALUE) continue;
    std::uint8_t answer[kInquiryLength] = {};
    if (SendCommand(inquiry) == RyStatus::kSuccess && inquiry.CopyAnswer(answer) == 0 &&
        MatchInquiry(answer, product, vendor)) {
      return RyStatus::kSuccess;
    }
    Close();
  }
  return RyStatus::kPlayerNotFound;
}

std::int32_t CRyScsi_Nt::FindPlayerDrive() {
  CRyScsiInquiry inquiry;
  std::string product, vendor;
  FetchIdentity(product, vendor);
  const std::wstring letters = DriveLetters();
  driveLetter = 0;
  for (const wchar_t letter : letters) {
    if (letter == L'A') continue;
    const wchar_t root[] = {letter, L':', L'\\', 0};
    if (os::GetDriveTypeW(root) != DRIVE_REMOVABLE) continue;
    CloseHandleIfOpen();
    const wchar_t volume[] = {L'\\', L'\\', L'.', L'\\', letter, L':', 0};
    handle = OpenDevice(volume);
    if (handle == INVALID_HANDLE_VALUE) continue;
    std::uint8_t answer[kInquiryLength] = {};
    int flag = 0;
    if (SendCommand(inquiry) == RyStatus::kSuccess && inquiry.CopyAnswer(answer) == 0 &&
        MatchInquiry(answer, product, vendor) && QueryPlayerMediaFlag(flag) == RyStatus::kSuccess &&
        flag != 0) {
      driveLetter = letter;
      Close();
      return RyStatus::kSuccess;
    }
    Close();
  }
  return RyStatus::kPlayerNotFound;
}
