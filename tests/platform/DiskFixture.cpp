#include "DiskFixture.h"

namespace testing_disk {

std::vector<std::uint8_t> MbrWithPartition(std::uint32_t firstSector, std::uint32_t sectorCount,
                                           std::uint8_t type) {
  std::vector<std::uint8_t> sector(512, 0);
  sector[0x1BE] = 0x80;
  sector[0x1C2] = type;
  for (int i = 0; i < 4; ++i) {
    sector[0x1C6 + i] = static_cast<std::uint8_t>(firstSector >> (8 * i));
    sector[0x1CA + i] = static_cast<std::uint8_t>(sectorCount >> (8 * i));
  }
  sector[510] = 0x55;
  sector[511] = 0xAA;
  return sector;
}

DiskFixture::DiskFixture() : disk(std::make_shared<RamDisk>(kBlocks)) {
  sim::DiskAttachment attachment;
  attachment.driveLetter = L'E';
  number = machine->AttachDisk(disk, attachment);
}

void DiskFixture::Replug() {
  machine->DetachDisk(number);
  sim::DiskAttachment attachment;
  attachment.driveLetter = L'E';
  attachment.physicalDriveNumber = number;
  machine->AttachDisk(disk, attachment);
}

DiskFixture::~DiskFixture() {
  for (HANDLE handle : opened) os::CloseHandle(handle);
}

HANDLE DiskFixture::Open(const std::wstring& name, DWORD access, DWORD share) {
  os::SetLastError(0xDEAD);
  HANDLE handle = os::CreateFileW(name.c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
  lastError = os::GetLastError();
  if (handle != INVALID_HANDLE_VALUE) opened.push_back(handle);
  return handle;
}

void DiskFixture::Seek(HANDLE handle, std::uint64_t offset) {
  LONG high = static_cast<LONG>(offset >> 32);
  os::SetLastError(0);
  const DWORD low =
      os::SetFilePointer(handle, static_cast<LONG>(offset & 0xFFFFFFFF), &high, FILE_BEGIN);
  ASSERT_FALSE(low == INVALID_SET_FILE_POINTER && os::GetLastError() != 0);
}

template <typename Call>
DiskFixture::Io DiskFixture::Measure(Call call) {
  Io io{};
  os::SetLastError(0);
  io.ok = call(&io.bytes);
  io.error = os::GetLastError();
  return io;
}

DiskFixture::Io DiskFixture::Read(HANDLE handle, std::vector<std::uint8_t>& buffer) {
  return Measure([&](DWORD* bytes) {
    return os::ReadFile(handle, buffer.data(), static_cast<DWORD>(buffer.size()), bytes, nullptr);
  });
}

DiskFixture::Io DiskFixture::Write(HANDLE handle, const std::vector<std::uint8_t>& buffer) {
  return Measure([&](DWORD* bytes) {
    return os::WriteFile(handle, buffer.data(), static_cast<DWORD>(buffer.size()), bytes, nullptr);
  });
}

DWORD DiskFixture::ControlError(HANDLE handle, DWORD code) {
  DWORD returned = 0;
  os::SetLastError(0);
  const BOOL ok = os::DeviceIoControl(handle, code, nullptr, 0, nullptr, 0, &returned, nullptr);
  return ok ? ERROR_SUCCESS : os::GetLastError();
}

}  // namespace testing_disk
