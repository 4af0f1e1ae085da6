#pragma once
// The player's recovery-mode driver on the simulated machine. A player whose
// firmware is broken shows up as "\\.\RyMp3RecDeviceN" instead of a disk.
// The device takes overlapped writes (WriteFileEx) of 1 to 4096 bytes at
// file position 0 on a handle opened with FILE_FLAG_OVERLAPPED and write
// access, and collects them as the boot image. When a handle that received
// the image without a fault is closed, the player takes the image, leaves
// recovery mode (its devices go) and comes back as a USB disk.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "os/Win32Types.h"
#include "sim/Machine.h"

namespace sim {

inline constexpr DWORD kRecoveryMaxWrite = 4096;

enum class RecoveryFault {
  kNone,
  kShortCompletion,  // completes successfully with fewer bytes than asked
  kNeverComplete,    // stays pending until cancelled or the handle closes
  kRefuseWrite,      // WriteFileEx fails at once with the refusal error
};

// One write the driver saw, in arrival order.
struct RecoveryWrite {
  DWORD bytes = 0;                // asked for
  DWORD offset = 0;               // OVERLAPPED.Offset at the call
  DWORD offsetHigh = 0;           // OVERLAPPED.OffsetHigh at the call
  DWORD refusal = ERROR_SUCCESS;  // the error WriteFileEx failed with, if it did
  bool pending = false;           // not completed when it arrived
  DWORD completed = 0;            // bytes completed when it completed at once
};

class RecoveryDriver {
 public:
  explicit RecoveryDriver(Machine& machine);
  static RecoveryDriver& Of(Machine& machine);

  // A player in recovery mode appears as device number N (0 to 99).
  void AddDevice(int number);
  bool HasDevice(int number) const;

  // The write with this index (0 = the first write on the machine from now)
  // meets the fault. Short completions complete shortBytes fewer bytes.
  void SetFault(RecoveryFault fault, std::size_t writeIndex = 0, DWORD shortBytes = 96);
  void SetRefusalError(DWORD error);

  // Where the player comes back once it has its image; without a disk it
  // just leaves recovery mode. onImage lets a test hand the image on.
  void SetRestartDisk(std::shared_ptr<StorageDevice> disk, const DiskAttachment& attachment,
                      std::function<void(const std::vector<std::uint8_t>&)> onImage = {});

  std::vector<RecoveryWrite> Writes() const;
  // Every recovery device name CreateFile was asked for, in order.
  std::vector<std::wstring> OpenedNames() const;
  // The image the player took; empty until then.
  std::vector<std::uint8_t> ReceivedImage() const;
  // The physical drive number the returning disk got; -1 before.
  int RestartedDrive() const;

  // Served to the device's handles.
  DWORD Open(int number, const std::wstring& name);
  // ERROR_SUCCESS with completes/completed telling the outcome, or the error
  // that refuses the write.
  DWORD AcceptWrite(const std::uint8_t* data, DWORD bytes, const OVERLAPPED& overlapped,
                    bool& completes, DWORD& completed);
  void TakeImage(const std::vector<std::uint8_t>& image);

 private:
  Machine& machine;
  mutable std::mutex mutex;
  std::set<int> devices;
  RecoveryFault fault = RecoveryFault::kNone;
  std::size_t faultIndex = 0;
  DWORD shortBy = 0;
  DWORD refusalError = ERROR_GEN_FAILURE;
  std::shared_ptr<StorageDevice> restartDisk;
  DiskAttachment restartAttachment;
  std::function<void(const std::vector<std::uint8_t>&)> imageTaken;
  std::vector<RecoveryWrite> writes;
  std::vector<std::wstring> openedNames;
  std::vector<std::uint8_t> image;
  int restartedDrive = -1;
};

}  // namespace sim
