#pragma once
// A plain removable SCSI disk over an in-memory medium: INQUIRY, TEST UNIT
// READY, READ CAPACITY(10), READ(10) and WRITE(10), and file I/O on its
// blocks. Every command is traced and passes the armed faults.
//
// How the disk answers what does not fit (CHECK CONDITION, fixed sense):
// - unknown operation code, or an empty CDB: ILLEGAL REQUEST 20h/00h;
// - a CDB shorter than its operation code's, INQUIRY with EVPD or a page
//   code: ILLEGAL REQUEST 24h/00h;
// - blocks beyond the medium: ILLEGAL REQUEST 21h/00h;
// - no medium (READ CAPACITY, READ, WRITE, TEST UNIT READY): NOT READY
//   3Ah/00h;
// - a transfer that does not fit the command: ABORTED COMMAND 4Bh/00h (data
//   phase error). A data-in command needs direction in and room for its
//   whole answer (more room is fine: the rest is not sent); a data-out
//   command needs direction out and exactly its payload; a command without
//   data takes no bytes, whatever the direction.
// Checks run in that order: CDB, medium, transfer, range. A block count of 0
// moves nothing and succeeds. INQUIRY answers 36 bytes, or the allocation
// length (CDB bytes 3-4) when that is smaller.
//
// A vanished device (IsPresent false) fails file I/O; a SCSI request that
// reaches it anyway answers ILLEGAL REQUEST 25h/00h, but the caller is
// expected to look at IsPresent after each request and fail it as a
// disconnected device. Faults are not counted while the device is gone.
//
// Delays of the fault plan advance sim::Machine::Current()'s virtual clock
// from inside ExecuteScsi / ReadBlocks / WriteBlocks: callers must not hold
// the machine's state mutex then.

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "sim/CommandRecord.h"
#include "sim/FaultPlan.h"
#include "sim/ScsiSense.h"
#include "sim/SparseBlockStore.h"
#include "sim/StorageDevice.h"

namespace sim {

namespace ScsiOp {
inline constexpr std::uint8_t kTestUnitReady = 0x00;
inline constexpr std::uint8_t kInquiry = 0x12;
inline constexpr std::uint8_t kReadCapacity10 = 0x25;
inline constexpr std::uint8_t kRead10 = 0x28;
inline constexpr std::uint8_t kWrite10 = 0x2A;
}  // namespace ScsiOp

// INQUIRY identification; shorter texts are blank-padded, longer cut.
struct ScsiIdentity {
  std::string vendor;    // 8 characters
  std::string product;   // 16 characters
  std::string revision;  // 4 characters
};

class ScsiDisk : public StorageDevice {
 public:
  static constexpr std::uint32_t kInquiryLength = 36;

  ScsiDisk(const ScsiIdentity& identity, std::uint32_t blockSize, std::uint64_t blockCount,
           std::uint8_t fill);
  ~ScsiDisk() override;
  ScsiDisk(const ScsiDisk&) = delete;
  ScsiDisk& operator=(const ScsiDisk&) = delete;

  bool IsPresent() const override;
  ScsiResult ExecuteScsi(const ScsiRequest& request) override;
  std::uint32_t GetBlockSize() const override;
  std::uint64_t GetBlockCount() const override;
  bool ReadBlocks(std::uint64_t firstBlock, std::uint32_t blockCount, std::uint8_t* out) override;
  bool WriteBlocks(std::uint64_t firstBlock, std::uint32_t blockCount,
                   const std::uint8_t* data) override;

  // Unplugs (false) or plugs the device back (true).
  void SetPresent(bool present);

  FaultPlan& Faults() { return faults; }
  // Every command received, oldest first.
  std::vector<CommandRecord> Trace() const;
  void ClearTrace();

  // The medium READ, WRITE and file I/O reach; null when there is none.
  SparseBlockStore* GetMedium() { return Medium(); }
  const ScsiIdentity& GetIdentity() const { return identity; }

 protected:
  // A disk whose medium a derived class provides; blockSize is what
  // GetBlockSize reports while there is no medium.
  ScsiDisk(const ScsiIdentity& identity, std::uint32_t blockSize);

  virtual SparseBlockStore* Medium();
  virtual const SparseBlockStore* Medium() const;

  // Commands the disk does not know; nullopt refuses them as an unknown
  // operation code. Called with the disk's lock held.
  virtual std::optional<ScsiResult> ExecuteOther(const ScsiRequest& request);
  // Fills the trace fields of such commands.
  virtual void DescribeOther(const ScsiRequest& request, CommandRecord& record) const;

  // The next SCSI command other than INQUIRY fails with sense (once).
  void RaiseUnitAttention(const SenseData& sense);

 private:
  CommandRecord Describe(const ScsiRequest& request) const;
  // File I/O seen as READ(10) or WRITE(10).
  CommandRecord FileRecord(CommandSource source, std::uint64_t firstBlock,
                           std::uint32_t blockCount) const;
  // Passes the command through the faults and traces it.
  ScsiResult Run(CommandRecord record, const std::function<ScsiResult()>& execute);
  ScsiResult Dispatch(const ScsiRequest& request);
  ScsiResult Inquiry(const ScsiRequest& request) const;
  ScsiResult ReadCapacity(const ScsiRequest& request) const;
  ScsiResult TestUnitReady(const ScsiRequest& request) const;
  ScsiResult ReadWrite(const ScsiRequest& request);
  std::optional<SenseData> CheckBlocks(std::uint64_t firstBlock, std::uint64_t count) const;

  ScsiIdentity identity;
  std::uint32_t nominalBlockSize;
  std::unique_ptr<SparseBlockStore> ownMedium;
  bool present = true;
  std::optional<SenseData> unitAttention;
  FaultPlan faults;
  std::vector<CommandRecord> trace;
  mutable std::mutex mutex;
};

}  // namespace sim
