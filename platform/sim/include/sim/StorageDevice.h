#pragma once
// A disk the simulated machine can carry: it answers SCSI requests (what
// pass-through and ASPI deliver) and serves its blocks to file I/O on its
// volumes and physical drive. Emulated devices implement it.

#include <cstdint>
#include <vector>

namespace sim {

enum class ScsiDirection { kNone, kIn, kOut };

// What pass-through delivers: a transfer of no bytes comes as kNone whatever
// direction the caller named, and an unspecified direction with data as kIn.
struct ScsiRequest {
  std::vector<std::uint8_t> cdb;
  ScsiDirection direction = ScsiDirection::kNone;
  std::vector<std::uint8_t> dataOut;  // the bytes the host sends
  std::uint32_t dataInLength = 0;     // the bytes the host is ready to receive
};

struct ScsiResult {
  std::uint8_t scsiStatus = 0;       // 0 GOOD, 2 CHECK CONDITION, 8 BUSY ...
  std::vector<std::uint8_t> dataIn;  // at most dataInLength bytes
  std::vector<std::uint8_t> sense;   // fixed-format sense data on CHECK CONDITION

  static constexpr std::uint8_t kGood = 0x00;
  static constexpr std::uint8_t kCheckCondition = 0x02;
};

class StorageDevice {
 public:
  virtual ~StorageDevice() = default;

  // False while the device is unplugged or has vanished: its drive letter
  // goes, new opens fail with ERROR_FILE_NOT_FOUND and every call on an
  // open handle with ERROR_DEVICE_NOT_CONNECTED; once it is back it is a
  // newly arrived disk and the old handles stay dead. Asked from any thread,
  // also while another thread is inside one of the calls below; it must not
  // call back into the machine.
  virtual bool IsPresent() const = 0;

  // Through a disk's handles, this call and the block calls below reach the
  // device one at a time.
  virtual ScsiResult ExecuteScsi(const ScsiRequest& request) = 0;

  // The medium as file I/O sees it: block size in bytes and block count.
  virtual std::uint32_t GetBlockSize() const = 0;
  virtual std::uint64_t GetBlockCount() const = 0;
  // Whole blocks only; false on a media error (the caller fails the I/O).
  virtual bool ReadBlocks(std::uint64_t firstBlock, std::uint32_t blockCount,
                          std::uint8_t* out) = 0;
  virtual bool WriteBlocks(std::uint64_t firstBlock, std::uint32_t blockCount,
                           const std::uint8_t* data) = 0;
};

}  // namespace sim
