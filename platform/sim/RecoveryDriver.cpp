#include "sim/RecoveryDriver.h"

#include <algorithm>
#include <utility>

namespace sim {

RecoveryDriver::RecoveryDriver(Machine& owner) : machine(owner) {}

RecoveryDriver& RecoveryDriver::Of(Machine& machine) { return machine.GetPart<RecoveryDriver>(); }

void RecoveryDriver::AddDevice(int number) {
  std::lock_guard<std::mutex> lock(mutex);
  devices.insert(number);
}

bool RecoveryDriver::HasDevice(int number) const {
  std::lock_guard<std::mutex> lock(mutex);
  return devices.count(number) != 0;
}

void RecoveryDriver::SetFault(RecoveryFault newFault, std::size_t writeIndex, DWORD shortBytes) {
  std::lock_guard<std::mutex> lock(mutex);
  fault = newFault;
  faultIndex = writes.size() + writeIndex;
  shortBy = shortBytes;
}

void RecoveryDriver::SetRefusalError(DWORD error) {
  std::lock_guard<std::mutex> lock(mutex);
  refusalError = error;
}

void RecoveryDriver::SetRestartDisk(std::shared_ptr<StorageDevice> disk,
                                    const DiskAttachment& attachment,
                                    std::function<void(const std::vector<std::uint8_t>&)> onImage) {
  std::lock_guard<std::mutex> lock(mutex);
  restartDisk = std::move(disk);
  restartAttachment = attachment;
  imageTaken = std::move(onImage);
}

std::vector<RecoveryWrite> RecoveryDriver::Writes() const {
  std::lock_guard<std::mutex> lock(mutex);
  return writes;
}

std::vector<std::wstring> RecoveryDriver::OpenedNames() const {
  std::lock_guard<std::mutex> lock(mutex);
  return openedNames;
}

std::vector<std::uint8_t> RecoveryDriver::ReceivedImage() const {
  std::lock_guard<std::mutex> lock(mutex);
  return image;
}

int RecoveryDriver::RestartedDrive() const {
  std::lock_guard<std::mutex> lock(mutex);
  return restartedDrive;
}

DWORD RecoveryDriver::Open(int number, const std::wstring& name) {
  std::lock_guard<std::mutex> lock(mutex);
  openedNames.push_back(name);
  return devices.count(number) != 0 ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

DWORD RecoveryDriver::AcceptWrite(const std::uint8_t*, DWORD bytes, const OVERLAPPED& overlapped,
                                  bool& completes, DWORD& completed) {
  std::lock_guard<std::mutex> lock(mutex);
  RecoveryWrite seen;
  seen.bytes = bytes;
  seen.offset = overlapped.Offset;
  seen.offsetHigh = overlapped.OffsetHigh;
  const RecoveryFault met = writes.size() == faultIndex ? fault : RecoveryFault::kNone;
  // Every block goes to position 0 and fits the driver's transfer buffer.
  const bool wellFormed = bytes > 0 && bytes <= kRecoveryMaxWrite && overlapped.Offset == 0 &&
                          overlapped.OffsetHigh == 0;
  if (!wellFormed) {
    seen.refusal = ERROR_INVALID_PARAMETER;
  } else if (met == RecoveryFault::kRefuseWrite) {
    seen.refusal = refusalError;
  }
  completes = met != RecoveryFault::kNeverComplete;
  completed = met == RecoveryFault::kShortCompletion ? bytes - std::min(bytes, shortBy) : bytes;
  seen.pending = seen.refusal == ERROR_SUCCESS && !completes;
  seen.completed = seen.refusal == ERROR_SUCCESS && completes ? completed : 0;
  writes.push_back(seen);
  return seen.refusal;
}

void RecoveryDriver::TakeImage(const std::vector<std::uint8_t>& received) {
  std::shared_ptr<StorageDevice> disk;
  DiskAttachment attachment;
  std::function<void(const std::vector<std::uint8_t>&)> onImage;
  {
    std::lock_guard<std::mutex> lock(mutex);
    image = received;
    devices.clear();
    disk = restartDisk;
    attachment = restartAttachment;
    onImage = imageTaken;
  }
  if (onImage) onImage(received);
  if (disk == nullptr) return;
  const int drive = machine.AttachDisk(std::move(disk), attachment);
  std::lock_guard<std::mutex> lock(mutex);
  restartedDrive = drive;
}

}  // namespace sim
