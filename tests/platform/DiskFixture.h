#pragma once
// A machine with one RAM disk attached as removable drive E:, and the
// helpers the storage tests share.

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "RamDisk.h"
#include "os/Os.h"
#include "sim/Machine.h"

namespace testing_disk {

inline constexpr DWORD kReadWrite = GENERIC_READ | GENERIC_WRITE;
inline constexpr DWORD kShareReadWrite = FILE_SHARE_READ | FILE_SHARE_WRITE;

inline std::wstring PhysicalDriveName(int number) {
  return L"\\\\.\\PhysicalDrive" + std::to_wstring(number);
}

// Sector 0 with one partition entry and the boot signature.
std::vector<std::uint8_t> MbrWithPartition(std::uint32_t firstSector, std::uint32_t sectorCount,
                                           std::uint8_t type = 0x06);

class DiskFixture : public ::testing::Test {
 protected:
  static constexpr std::uint64_t kBlocks = 20000;
  static constexpr wchar_t kVolumeName[] = L"\\\\.\\E:";

  DiskFixture();
  ~DiskFixture() override;

  // Unplugs the disk and plugs it in again, so that its partition table,
  // set up by the test, is read.
  void Replug();

  // Opens a name and closes it when the test ends; INVALID_HANDLE_VALUE
  // with lastError set when the open fails.
  HANDLE Open(const std::wstring& name, DWORD access = kReadWrite, DWORD share = kShareReadWrite);
  HANDLE OpenVolume(DWORD access = kReadWrite, DWORD share = kShareReadWrite) {
    return Open(kVolumeName, access, share);
  }
  HANDLE OpenDisk(DWORD access = kReadWrite, DWORD share = kShareReadWrite) {
    return Open(PhysicalDriveName(number), access, share);
  }

  // Positions the handle at a 64-bit byte offset.
  void Seek(HANDLE handle, std::uint64_t offset);
  // Read or write of a whole buffer: the result, bytes moved and the error.
  struct Io {
    BOOL ok;
    DWORD bytes;
    DWORD error;
  };
  Io Read(HANDLE handle, std::vector<std::uint8_t>& buffer);
  Io Write(HANDLE handle, const std::vector<std::uint8_t>& buffer);
  // DeviceIoControl without buffers.
  DWORD ControlError(HANDLE handle, DWORD code);

  sim::ScopedMachine machine;
  std::shared_ptr<RamDisk> disk;
  int number = -1;
  DWORD lastError = 0;

 private:
  template <typename Call>
  Io Measure(Call call);

  std::vector<HANDLE> opened;
};

}  // namespace testing_disk
