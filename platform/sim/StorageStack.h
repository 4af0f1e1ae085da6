#pragma once
// The machine's drives: the disks attached to it with their drive letters
// and physical drive numbers, and the letters that have no disk behind
// them. It answers the drive-letter queries and turns CreateFile names into
// file objects.

#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "FileName.h"
#include "FileObject.h"
#include "sim/FileStore.h"
#include "sim/Machine.h"

namespace sim {

class Disk;

class StorageStack {
 public:
  StorageStack();
  ~StorageStack();

  int AttachDisk(std::shared_ptr<StorageDevice> device, const DiskAttachment& attachment);
  bool DetachDisk(int physicalDriveNumber);
  bool AddDriveLetter(wchar_t driveLetter, UINT driveType);
  std::vector<DiskOperation> DiskOperations(int physicalDriveNumber) const;
  bool IsVolumeLocked(wchar_t driveLetter) const;
  FileStore& Files() { return files; }

  DWORD LogicalDrives() const;
  UINT DriveType(wchar_t driveLetter) const;  // DRIVE_NO_ROOT_DIR for 0 or a letter not in use

  // ERROR_SUCCESS with the new file object, or the error CreateFile gives.
  DWORD Open(const FileName& name, const OpenRequest& request,
             std::shared_ptr<FileObject>& file) const;

 private:
  // Callers hold the mutex.
  std::shared_ptr<Disk> DiskOfLetter(wchar_t driveLetter) const;
  bool LetterInUse(wchar_t driveLetter) const;
  DWORD OpenVolume(wchar_t driveLetter, const OpenRequest& request,
                   std::shared_ptr<FileObject>& file) const;
  DWORD OpenOrdinaryFile(const FileName& name, const OpenRequest& request,
                         std::shared_ptr<FileObject>& file) const;
  DWORD FileSystemPathError(const FileName& name) const;

  mutable std::mutex mutex;
  std::map<int, std::shared_ptr<Disk>> disks;
  std::map<wchar_t, UINT> driveLettersWithoutDisk;
  mutable FileStore files;
};

}  // namespace sim
