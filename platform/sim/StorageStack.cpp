#include "StorageStack.h"

#include "Disk.h"

namespace sim {

namespace {

// A drive letter with no medium behind it, opened without data access (to
// ask it control codes): everything it is asked fails as not ready.
class EmptyDriveFile : public FileObject {
 public:
  explicit EmptyDriveFile(const OpenRequest& request) : FileObject(request) {}
  DWORD Read(void*, DWORD, DWORD&) override { return ERROR_NOT_READY; }
  DWORD Write(const void*, DWORD, DWORD&) override { return ERROR_NOT_READY; }
  DWORD Control(const IoControl&, DWORD&) override { return ERROR_NOT_READY; }
  DWORD QueryEndOfFile(std::uint64_t&) override { return ERROR_NOT_READY; }
};

}  // namespace

StorageStack::StorageStack() = default;
StorageStack::~StorageStack() = default;

int StorageStack::AttachDisk(std::shared_ptr<StorageDevice> device,
                             const DiskAttachment& attachment) {
  DiskAttachment where = attachment;
  if (where.driveLetter != 0) {
    where.driveLetter = UpperDriveLetter(where.driveLetter);
    if (where.driveLetter == 0) return -1;
  }
  // The arrival reads the partition table; outside the lock, since the
  // device is asked.
  auto disk = std::make_shared<Disk>(std::move(device), where);
  disk->ReadPartitionTable();
  std::lock_guard<std::mutex> lock(mutex);
  if (where.driveLetter != 0 && LetterInUse(where.driveLetter)) return -1;
  int number = where.physicalDriveNumber;
  if (number < 0) {
    number = 0;
    while (disks.count(number) != 0) ++number;
  } else if (disks.count(number) != 0) {
    return -1;
  }
  disks.emplace(number, std::move(disk));
  return number;
}

bool StorageStack::DetachDisk(int physicalDriveNumber) {
  std::lock_guard<std::mutex> lock(mutex);
  auto found = disks.find(physicalDriveNumber);
  if (found == disks.end()) return false;
  found->second->Detach();
  disks.erase(found);
  return true;
}

bool StorageStack::AddDriveLetter(wchar_t driveLetter, UINT driveType) {
  std::lock_guard<std::mutex> lock(mutex);
  const wchar_t letter = UpperDriveLetter(driveLetter);
  if (letter == 0 || LetterInUse(letter)) return false;
  driveLettersWithoutDisk.emplace(letter, driveType);
  return true;
}

std::vector<DiskOperation> StorageStack::DiskOperations(int physicalDriveNumber) const {
  std::lock_guard<std::mutex> lock(mutex);
  auto found = disks.find(physicalDriveNumber);
  return found == disks.end() ? std::vector<DiskOperation>{} : found->second->Operations();
}

bool StorageStack::IsVolumeLocked(wchar_t driveLetter) const {
  std::lock_guard<std::mutex> lock(mutex);
  const std::shared_ptr<Disk> disk = DiskOfLetter(UpperDriveLetter(driveLetter));
  return disk != nullptr && disk->IsVolumeLocked();
}

std::shared_ptr<Disk> StorageStack::DiskOfLetter(wchar_t driveLetter) const {
  if (driveLetter == 0) return nullptr;
  for (const auto& entry : disks) {
    if (entry.second->DriveLetter() == driveLetter) return entry.second;
  }
  return nullptr;
}

bool StorageStack::LetterInUse(wchar_t driveLetter) const {
  return driveLettersWithoutDisk.count(driveLetter) != 0 || DiskOfLetter(driveLetter) != nullptr;
}

DWORD StorageStack::LogicalDrives() const {
  std::lock_guard<std::mutex> lock(mutex);
  DWORD mask = 0;
  for (const auto& entry : driveLettersWithoutDisk) mask |= 1u << (entry.first - L'A');
  // A disk that has gone away has taken its letter with it.
  for (const auto& entry : disks) {
    const wchar_t letter = entry.second->DriveLetter();
    if (letter != 0 && entry.second->IsConnected()) mask |= 1u << (letter - L'A');
  }
  return mask;
}

UINT StorageStack::DriveType(wchar_t driveLetter) const {
  std::lock_guard<std::mutex> lock(mutex);
  auto empty = driveLettersWithoutDisk.find(driveLetter);
  if (empty != driveLettersWithoutDisk.end()) return empty->second;
  const std::shared_ptr<Disk> disk = DiskOfLetter(driveLetter);
  return disk != nullptr && disk->IsConnected() ? disk->DriveType() : DRIVE_NO_ROOT_DIR;
}

DWORD StorageStack::Open(const FileName& name, const OpenRequest& request,
                         std::shared_ptr<FileObject>& file) const {
  std::lock_guard<std::mutex> lock(mutex);
  switch (name.kind) {
    case FileName::Kind::kVolume:
      return OpenVolume(name.driveLetter, request, file);
    case FileName::Kind::kPhysicalDrive: {
      auto found = disks.find(name.physicalDriveNumber);
      if (found == disks.end()) return ERROR_FILE_NOT_FOUND;
      return found->second->Open(DiskHandleKind::kPhysicalDrive, request, file);
    }
    case FileName::Kind::kDevice:
      return ERROR_FILE_NOT_FOUND;
    case FileName::Kind::kFileSystemPath:
    default:
      return OpenOrdinaryFile(name, request, file);
  }
}

DWORD StorageStack::OpenVolume(wchar_t driveLetter, const OpenRequest& request,
                               std::shared_ptr<FileObject>& file) const {
  if (const std::shared_ptr<Disk> disk = DiskOfLetter(driveLetter)) {
    return disk->Open(DiskHandleKind::kVolume, request, file);
  }
  if (driveLettersWithoutDisk.count(driveLetter) == 0) return ERROR_FILE_NOT_FOUND;
  if (const DWORD error = CheckDeviceOpen(request); error != ERROR_SUCCESS) return error;
  // Without a medium nothing can be mounted; only an open that needs no
  // file system (no access asked) reaches the drive itself.
  if (request.access != 0) return ERROR_NOT_READY;
  file = std::make_shared<EmptyDriveFile>(request);
  return ERROR_SUCCESS;
}

// Files live on the drives without a disk behind them (C:); the names of
// what is not there tell a missing file from a missing directory.
DWORD StorageStack::OpenOrdinaryFile(const FileName& name, const OpenRequest& request,
                                     std::shared_ptr<FileObject>& file) const {
  if (name.path.empty()) return ERROR_PATH_NOT_FOUND;
  const bool onDisk = name.driveLetter != 0 && DiskOfLetter(name.driveLetter) != nullptr;
  if (!onDisk) {
    const DWORD error = files.Open(name.path, request, file);
    if (error != ERROR_FILE_NOT_FOUND) return error;
  }
  return FileSystemPathError(name);
}

DWORD StorageStack::FileSystemPathError(const FileName& name) const {
  if (name.path.empty()) return ERROR_PATH_NOT_FOUND;
  std::size_t nameStart = 0;
  if (name.driveLetter != 0) {
    const std::shared_ptr<Disk> disk = DiskOfLetter(name.driveLetter);
    const bool hasDisk = disk != nullptr && disk->IsConnected();
    if (!hasDisk && driveLettersWithoutDisk.count(name.driveLetter) == 0) {
      return ERROR_PATH_NOT_FOUND;
    }
    if (!hasDisk) return ERROR_NOT_READY;
    nameStart = 3;  // past "X:\"
  }
  const bool inDirectory = name.path.find_first_of(L"\\/", nameStart) != std::wstring::npos;
  return inDirectory ? ERROR_PATH_NOT_FOUND : ERROR_FILE_NOT_FOUND;
}

}  // namespace sim
