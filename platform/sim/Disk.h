#pragma once
// One disk of the machine: its device; the two things a handle opens on it,
// the volume of its drive letter and the whole disk ("\\.\PhysicalDriveN"),
// each with its own sharing, lock and dismount state; the partition the
// volume shows; and the log of what reached it.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "FileObject.h"
#include "MasterBootRecord.h"
#include "sim/Machine.h"
#include "sim/StorageDevice.h"

namespace sim {

class DiskFile;

class Disk : public std::enable_shared_from_this<Disk> {
 public:
  Disk(std::shared_ptr<StorageDevice> device, const DiskAttachment& attachment);

  wchar_t DriveLetter() const { return attachment.driveLetter; }
  UINT DriveType() const { return attachment.driveType; }

  // Reads the partition table, as the disk's arrival does.
  void ReadPartitionTable();

  // False once detached and while the device is away. A device seen away
  // and back again is a newly arrived disk: the handles from before it left
  // stay dead, and its partition table is read anew.
  bool IsConnected();
  void Detach();

  DWORD Open(DiskHandleKind kind, const OpenRequest& request, std::shared_ptr<FileObject>& file);
  void Close(DiskFile& file);
  DWORD Read(DiskFile& file, void* buffer, DWORD bytes, DWORD& done);
  DWORD Write(DiskFile& file, const void* buffer, DWORD bytes, DWORD& done);
  DWORD Control(DiskFile& file, const IoControl& request, DWORD& returned);

  std::vector<DiskOperation> Operations() const;
  bool IsVolumeLocked() const;

 private:
  // A file system instance on the volume or on the whole disk (there the
  // raw one): the handles open on it, the handle that locked it, and a
  // count of dismounts, which leave the handles opened before them dead.
  struct Mount {
    std::vector<DiskFile*> opens;
    const DiskFile* lockOwner = nullptr;
    unsigned generation = 0;
  };
  struct Transfer {
    std::uint64_t diskOffset = 0;
    std::uint64_t firstBlock = 0;
    std::uint32_t blockCount = 0;
  };
  using MoveBlocks = std::function<bool(std::uint64_t firstBlock, std::uint32_t blockCount)>;

  // Callers hold stateMutex.
  bool IsConnectedLocked();
  Mount& MountOf(DiskHandleKind kind);
  DWORD CheckUsable(const DiskFile& file);
  void Record(const DiskFile& file, const DiskOperation& operation);

  // Callers hold ioMutex.
  DWORD Move(DiskFile& file, DiskOperation::Kind kind, DWORD bytes, DWORD& done,
             const MoveBlocks& move, DWORD mediaError);
  DWORD PlanTransfer(const DiskFile& file, DWORD bytes, Transfer& plan);
  Extent ExtentOf(DiskHandleKind kind);
  DWORD Dispatch(DiskFile& file, const IoControl& request, DWORD& returned);
  DWORD DescribeGeometry(const IoControl& request, DWORD& returned);
  DWORD ReadRecord(std::optional<MasterBootRecord>& record);
  DWORD ChangeRecord(const std::function<DWORD(MasterBootRecord&)>& change);

  // Volume control; they take stateMutex.
  DWORD Lock(DiskFile& file);
  DWORD Unlock(DiskFile& file);
  DWORD Dismount(DiskFile& file);

  const std::shared_ptr<StorageDevice> device;
  const DiskAttachment attachment;

  // Held across every device call: requests reach the disk one at a time.
  // Taken before stateMutex, never after it.
  std::mutex ioMutex;
  std::optional<Extent> volumeExtent;  // guarded by ioMutex

  mutable std::mutex stateMutex;
  bool detached = false;
  bool sawAbsent = false;
  unsigned connection = 0;
  bool partitionTableStale = false;
  Mount volume;
  Mount wholeDisk;
  std::vector<DiskOperation> operations;
};

}  // namespace sim
