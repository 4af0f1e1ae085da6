// The control codes a disk serves on its volume and whole-disk handles.

#include <cstring>

#include "Disk.h"
#include "DiskFile.h"
#include "DiskGeometry.h"
#include "DriveLayout.h"
#include "PassThrough.h"

namespace sim {

DWORD Disk::Control(DiskFile& file, const IoControl& request, DWORD& returned) {
  std::lock_guard<std::mutex> io(ioMutex);
  DWORD error;
  {
    std::lock_guard<std::mutex> lock(stateMutex);
    error = CheckUsable(file);
  }
  if (error == ERROR_SUCCESS) error = Dispatch(file, request, returned);
  DiskOperation operation;
  operation.ioControlCode = request.code;
  operation.error = error;
  std::lock_guard<std::mutex> lock(stateMutex);
  Record(file, operation);
  return error;
}

DWORD Disk::Dispatch(DiskFile& file, const IoControl& request, DWORD& returned) {
  returned = 0;
  // The volume stack passes layout queries down to the disk but leaves
  // repartitioning to handles on the disk itself.
  const bool onDisk = file.Kind() == DiskHandleKind::kPhysicalDrive;
  const std::uint32_t blockSize = device->GetBlockSize();
  switch (request.code) {
    case IOCTL_SCSI_PASS_THROUGH:
      return ServePassThrough(*device, request, returned);
    case IOCTL_DISK_GET_DRIVE_GEOMETRY:
      return DescribeGeometry(request, returned);
    case IOCTL_DISK_GET_DRIVE_LAYOUT: {
      std::optional<MasterBootRecord> record;
      if (const DWORD error = ReadRecord(record); error != ERROR_SUCCESS) return error;
      // Reading the layout brings the partitions up to date with the disk.
      volumeExtent = VolumeExtent(*record, device->GetBlockCount());
      return DescribeLayout(*record, device->GetBlockCount(), blockSize, request, returned);
    }
    case IOCTL_DISK_SET_DRIVE_LAYOUT:
      if (!onDisk) return ERROR_INVALID_FUNCTION;
      return ChangeRecord([&](MasterBootRecord& record) {
        return ApplyLayout(request, blockSize, record, returned);
      });
    case IOCTL_DISK_DELETE_DRIVE_LAYOUT:
      if (!onDisk) return ERROR_INVALID_FUNCTION;
      return ChangeRecord([](MasterBootRecord& record) {
        record.EraseTable();
        return static_cast<DWORD>(ERROR_SUCCESS);
      });
    case FSCTL_LOCK_VOLUME:
      return Lock(file);
    case FSCTL_UNLOCK_VOLUME:
      return Unlock(file);
    case FSCTL_DISMOUNT_VOLUME:
      return Dismount(file);
    default:
      return ERROR_INVALID_FUNCTION;
  }
}

DWORD Disk::DescribeGeometry(const IoControl& request, DWORD& returned) {
  if (request.out == nullptr || request.outSize < sizeof(DISK_GEOMETRY)) {
    return ERROR_INSUFFICIENT_BUFFER;
  }
  const DISK_GEOMETRY geometry = TranslatedGeometry(device->GetBlockCount(), device->GetBlockSize(),
                                                    attachment.driveType == DRIVE_REMOVABLE);
  std::memcpy(request.out, &geometry, sizeof geometry);
  returned = sizeof geometry;
  return ERROR_SUCCESS;
}

DWORD Disk::ReadRecord(std::optional<MasterBootRecord>& record) {
  std::vector<std::uint8_t> sector(device->GetBlockSize());
  if (!device->ReadBlocks(0, 1, sector.data())) return ERROR_CRC;
  record.emplace(std::move(sector));
  return ERROR_SUCCESS;
}

DWORD Disk::ChangeRecord(const std::function<DWORD(MasterBootRecord&)>& change) {
  std::optional<MasterBootRecord> record;
  if (const DWORD error = ReadRecord(record); error != ERROR_SUCCESS) return error;
  if (const DWORD error = change(*record); error != ERROR_SUCCESS) return error;
  if (!device->WriteBlocks(0, 1, record->Sector().data())) return ERROR_WRITE_FAULT;
  // The partitions follow the new table at once.
  volumeExtent = VolumeExtent(*record, device->GetBlockCount());
  return ERROR_SUCCESS;
}

DWORD Disk::Lock(DiskFile& file) {
  std::lock_guard<std::mutex> lock(stateMutex);
  Mount& mount = MountOf(file.Kind());
  // Locked already (by this handle or another), or open elsewhere.
  if (mount.lockOwner != nullptr || mount.opens.size() > 1) return ERROR_ACCESS_DENIED;
  mount.lockOwner = &file;
  return ERROR_SUCCESS;
}

DWORD Disk::Unlock(DiskFile& file) {
  std::lock_guard<std::mutex> lock(stateMutex);
  Mount& mount = MountOf(file.Kind());
  if (mount.lockOwner != &file) return ERROR_NOT_LOCKED;
  mount.lockOwner = nullptr;
  return ERROR_SUCCESS;
}

DWORD Disk::Dismount(DiskFile& file) {
  std::lock_guard<std::mutex> lock(stateMutex);
  Mount& mount = MountOf(file.Kind());
  if (mount.lockOwner != nullptr && mount.lockOwner != &file) return ERROR_ACCESS_DENIED;
  // Every other handle loses the file system; this one keeps its access
  // and its lock, and the next open mounts afresh.
  ++mount.generation;
  mount.opens.assign(1, &file);
  file.generation = mount.generation;
  return ERROR_SUCCESS;
}

}  // namespace sim
