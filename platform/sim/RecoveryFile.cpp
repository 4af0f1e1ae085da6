#include "RecoveryFile.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "CaseFold.h"
#include "sim/RecoveryDriver.h"

namespace sim {

namespace {

const std::wstring kPrefix = L"RYMP3RECDEVICE";
// More digits than a device number of the driver can have.
constexpr std::size_t kMaxDigits = 9;

// The device number of a name, or -1. The driver names its devices with
// "%d": no sign, no leading zeros.
int DeviceNumberOf(const FileName& name) {
  if (name.kind != FileName::Kind::kDevice) return -1;
  const std::wstring folded = FoldCase(name.path);
  if (folded.compare(0, kPrefix.size(), kPrefix) != 0) return -1;
  const std::wstring digits = folded.substr(kPrefix.size());
  if (digits.empty() || digits.size() > kMaxDigits) return -1;
  if (digits.size() > 1 && digits[0] == L'0') return -1;
  int number = 0;
  for (const wchar_t digit : digits) {
    if (digit < L'0' || digit > L'9') return -1;
    number = number * 10 + (digit - L'0');
  }
  return number;
}

class RecoveryFile : public FileObject {
 public:
  RecoveryFile(Machine& machine, RecoveryDriver& driver, const OpenRequest& request)
      : FileObject(request),
        machine(machine),
        driver(driver),
        overlappedHandle((request.flagsAndAttributes & FILE_FLAG_OVERLAPPED) != 0) {}

  DWORD Read(void*, DWORD, DWORD&) override { return ERROR_INVALID_FUNCTION; }
  DWORD Write(const void*, DWORD, DWORD&) override { return ERROR_INVALID_FUNCTION; }
  DWORD Control(const IoControl&, DWORD&) override { return ERROR_INVALID_FUNCTION; }
  DWORD QueryEndOfFile(std::uint64_t&) override { return ERROR_INVALID_FUNCTION; }

  DWORD StartOverlappedWrite(Machine&, const OverlappedWrite& write) override {
    if (!overlappedHandle) return ERROR_INVALID_PARAMETER;
    bool completes = false;
    DWORD completed = 0;
    const DWORD error =
        driver.AcceptWrite(write.data, write.bytes, *write.overlapped, completes, completed);
    if (error != ERROR_SUCCESS) {
      intact = false;
      return error;
    }
    if (!completes) {
      pending.push_back(write);
      return ERROR_SUCCESS;
    }
    if (completed == write.bytes) {
      received.insert(received.end(), write.data, write.data + write.bytes);
    } else {
      intact = false;
    }
    CompleteOverlapped(machine, write, ERROR_SUCCESS, completed);
    return ERROR_SUCCESS;
  }

  std::vector<OverlappedWrite> TakePendingWrites(std::thread::id thread) override {
    std::vector<OverlappedWrite> taken;
    auto own = [thread](const OverlappedWrite& write) { return write.thread == thread; };
    std::copy_if(pending.begin(), pending.end(), std::back_inserter(taken), own);
    pending.erase(std::remove_if(pending.begin(), pending.end(), own), pending.end());
    if (!taken.empty()) intact = false;
    return taken;
  }

  // Closing the handle aborts what is still pending; an image that arrived
  // whole is the player's.
  void OnClose() override {
    for (const OverlappedWrite& write : pending) {
      CompleteOverlapped(machine, write, ERROR_OPERATION_ABORTED, 0);
      intact = false;
    }
    pending.clear();
    if (intact && !received.empty()) driver.TakeImage(received);
  }

 private:
  Machine& machine;
  RecoveryDriver& driver;  // lives as long as the machine
  const bool overlappedHandle;
  std::vector<OverlappedWrite> pending;
  std::vector<std::uint8_t> received;
  bool intact = true;
};

}  // namespace

bool IsRecoveryDeviceName(const FileName& name) { return DeviceNumberOf(name) >= 0; }

DWORD OpenRecoveryDevice(Machine& machine, const FileName& name, const OpenRequest& request,
                         std::shared_ptr<FileObject>& file) {
  RecoveryDriver& driver = RecoveryDriver::Of(machine);
  if (const DWORD error = driver.Open(DeviceNumberOf(name), name.path); error != ERROR_SUCCESS) {
    return error;
  }
  // This device is opened for overlapped I/O; the rest of the check is the
  // one every device makes.
  OpenRequest checked = request;
  checked.flagsAndAttributes &= ~FILE_FLAG_OVERLAPPED;
  if (const DWORD error = CheckDeviceOpen(checked); error != ERROR_SUCCESS) return error;
  file = std::make_shared<RecoveryFile>(machine, driver, request);
  return ERROR_SUCCESS;
}

}  // namespace sim
