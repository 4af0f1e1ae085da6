#include "Disk.h"

#include <algorithm>
#include <utility>

#include "AccessRights.h"
#include "DiskFile.h"

namespace sim {

Disk::Disk(std::shared_ptr<StorageDevice> storageDevice, const DiskAttachment& where)
    : device(std::move(storageDevice)), attachment(where) {}

bool Disk::IsConnected() {
  std::lock_guard<std::mutex> lock(stateMutex);
  return IsConnectedLocked();
}

bool Disk::IsConnectedLocked() {
  if (detached || !device->IsPresent()) {
    sawAbsent = !detached;
    return false;
  }
  if (sawAbsent) {
    // Back after being away: a new arrival with fresh device objects.
    sawAbsent = false;
    ++connection;
    partitionTableStale = true;
    for (Mount* mount : {&volume, &wholeDisk}) *mount = Mount{{}, nullptr, mount->generation + 1};
  }
  return true;
}

void Disk::ReadPartitionTable() {
  std::lock_guard<std::mutex> io(ioMutex);
  std::optional<MasterBootRecord> record;
  // When sector 0 cannot be read, the first use of the volume tries again.
  if (ReadRecord(record) == ERROR_SUCCESS) {
    volumeExtent = VolumeExtent(*record, device->GetBlockCount());
  }
}

void Disk::Detach() {
  std::lock_guard<std::mutex> lock(stateMutex);
  detached = true;
}

Disk::Mount& Disk::MountOf(DiskHandleKind kind) {
  return kind == DiskHandleKind::kVolume ? volume : wholeDisk;
}

DWORD Disk::Open(DiskHandleKind kind, const OpenRequest& request,
                 std::shared_ptr<FileObject>& file) {
  std::lock_guard<std::mutex> lock(stateMutex);
  if (!IsConnectedLocked()) return ERROR_FILE_NOT_FOUND;
  if (const DWORD error = CheckDeviceOpen(request); error != ERROR_SUCCESS) return error;
  Mount& mount = MountOf(kind);
  if (mount.lockOwner != nullptr) return ERROR_ACCESS_DENIED;
  for (const DiskFile* open : mount.opens) {
    if (SharingConflicts(request.access, request.shareMode, open->Access(), open->ShareMode())) {
      return ERROR_SHARING_VIOLATION;
    }
  }
  auto opened =
      std::make_shared<DiskFile>(shared_from_this(), kind, request, connection, mount.generation);
  mount.opens.push_back(opened.get());
  file = std::move(opened);
  return ERROR_SUCCESS;
}

void Disk::Close(DiskFile& file) {
  std::lock_guard<std::mutex> lock(stateMutex);
  Mount& mount = MountOf(file.Kind());
  mount.opens.erase(std::remove(mount.opens.begin(), mount.opens.end(), &file), mount.opens.end());
  if (mount.lockOwner == &file) mount.lockOwner = nullptr;
}

DWORD Disk::CheckUsable(const DiskFile& file) {
  if (!IsConnectedLocked() || file.connection != connection) return ERROR_DEVICE_NOT_CONNECTED;
  if (file.generation != MountOf(file.Kind()).generation) return ERROR_NOT_READY;
  return ERROR_SUCCESS;
}

void Disk::Record(const DiskFile& file, const DiskOperation& operation) {
  operations.push_back(operation);
  operations.back().handleKind = file.Kind();
}

std::vector<DiskOperation> Disk::Operations() const {
  std::lock_guard<std::mutex> lock(stateMutex);
  return operations;
}

bool Disk::IsVolumeLocked() const {
  std::lock_guard<std::mutex> lock(stateMutex);
  return volume.lockOwner != nullptr;
}

Extent Disk::ExtentOf(DiskHandleKind kind) {
  const std::uint64_t blocks = device->GetBlockCount();
  if (kind == DiskHandleKind::kPhysicalDrive) return {0, blocks};
  {
    std::lock_guard<std::mutex> lock(stateMutex);
    if (std::exchange(partitionTableStale, false)) volumeExtent.reset();
  }
  if (!volumeExtent) {
    std::optional<MasterBootRecord> record;
    // An unreadable sector 0 shows the whole disk, and is tried again later.
    if (ReadRecord(record) != ERROR_SUCCESS) return {0, blocks};
    volumeExtent = VolumeExtent(*record, blocks);
  }
  return *volumeExtent;
}

DWORD Disk::PlanTransfer(const DiskFile& file, DWORD bytes, Transfer& plan) {
  const std::uint64_t blockSize = device->GetBlockSize();
  const Extent extent = ExtentOf(file.Kind());
  plan.diskOffset = extent.firstBlock * blockSize + file.position;
  if (bytes == 0) return ERROR_SUCCESS;
  // Direct access moves whole sectors only.
  if (file.position % blockSize != 0 || bytes % blockSize != 0) return ERROR_INVALID_PARAMETER;
  const std::uint64_t size = extent.blockCount * blockSize;
  std::uint64_t length = bytes;
  if (file.position + length > size) {
    // The disk class driver refuses a transfer past the end of the disk;
    // the file system on a volume cuts it short at the volume's end.
    if (file.Kind() == DiskHandleKind::kPhysicalDrive) return ERROR_INVALID_PARAMETER;
    length = file.position >= size ? 0 : size - file.position;
  }
  plan.firstBlock = extent.firstBlock + file.position / blockSize;
  plan.blockCount = static_cast<std::uint32_t>(length / blockSize);
  // A partition that reaches past the medium.
  if (plan.blockCount != 0 && plan.firstBlock + plan.blockCount > device->GetBlockCount()) {
    return ERROR_SECTOR_NOT_FOUND;
  }
  return ERROR_SUCCESS;
}

DWORD Disk::Move(DiskFile& file, DiskOperation::Kind kind, DWORD bytes, DWORD& done,
                 const MoveBlocks& move, DWORD mediaError) {
  Transfer plan;
  DWORD error;
  {
    std::lock_guard<std::mutex> lock(stateMutex);
    error = CheckUsable(file);
  }
  if (error == ERROR_SUCCESS) error = PlanTransfer(file, bytes, plan);
  if (error == ERROR_SUCCESS && plan.blockCount != 0 && !move(plan.firstBlock, plan.blockCount)) {
    error = mediaError;
  }
  if (error == ERROR_SUCCESS) {
    done = plan.blockCount * device->GetBlockSize();
    file.position += done;
  }
  DiskOperation operation;
  operation.kind = kind;
  operation.diskOffset = plan.diskOffset;
  operation.length = bytes;
  operation.error = error;
  std::lock_guard<std::mutex> lock(stateMutex);
  Record(file, operation);
  return error;
}

DWORD Disk::Read(DiskFile& file, void* buffer, DWORD bytes, DWORD& done) {
  std::lock_guard<std::mutex> io(ioMutex);
  auto* out = static_cast<std::uint8_t*>(buffer);
  return Move(
      file, DiskOperation::Kind::kRead, bytes, done,
      [&](std::uint64_t first, std::uint32_t count) {
        return device->ReadBlocks(first, count, out);
      },
      ERROR_CRC);
}

DWORD Disk::Write(DiskFile& file, const void* buffer, DWORD bytes, DWORD& done) {
  std::lock_guard<std::mutex> io(ioMutex);
  const auto* data = static_cast<const std::uint8_t*>(buffer);
  return Move(
      file, DiskOperation::Kind::kWrite, bytes, done,
      [&](std::uint64_t first, std::uint32_t count) {
        return device->WriteBlocks(first, count, data);
      },
      ERROR_WRITE_FAULT);
}

}  // namespace sim
