#pragma once
// A disk for the storage tests: blocks kept in memory (only those written
// take room, so a disk of several GiB costs nothing), a minimal SCSI
// target (INQUIRY, READ(10), WRITE(10)), a record of the commands it got,
// an answer a test can impose, failing blocks and a power switch.

#include <atomic>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "sim/StorageDevice.h"

namespace testing_disk {

class RamDisk : public sim::StorageDevice {
 public:
  RamDisk(std::uint64_t blockCount, std::uint32_t blockSize = 512);

  bool IsPresent() const override { return present; }
  sim::ScsiResult ExecuteScsi(const sim::ScsiRequest& request) override;
  std::uint32_t GetBlockSize() const override { return blockSize; }
  std::uint64_t GetBlockCount() const override { return blockCount; }
  bool ReadBlocks(std::uint64_t firstBlock, std::uint32_t count, std::uint8_t* out) override;
  bool WriteBlocks(std::uint64_t firstBlock, std::uint32_t count,
                   const std::uint8_t* data) override;

  void SetPresent(bool isPresent) { present = isPresent; }
  // The next command gets this answer instead of its own.
  void AnswerNextWith(const sim::ScsiResult& result) { imposed = result; }
  // Reads and writes that touch the block fail.
  void FailBlock(std::uint64_t block) { failingBlocks.insert(block); }

  const std::vector<sim::ScsiRequest>& Requests() const { return requests; }
  std::vector<std::uint8_t> Block(std::uint64_t block) const;
  void SetBlock(std::uint64_t block, const std::vector<std::uint8_t>& bytes);

  static constexpr char kVendor[] = "norvik  ";
  static constexpr char kProduct[] = "K520            ";

 private:
  bool Touches(std::uint64_t firstBlock, std::uint32_t count) const;
  sim::ScsiResult Inquiry(const sim::ScsiRequest& request) const;
  sim::ScsiResult ReadWrite10(const sim::ScsiRequest& request);

  const std::uint64_t blockCount;
  const std::uint32_t blockSize;
  std::atomic<bool> present{true};
  std::optional<sim::ScsiResult> imposed;
  std::set<std::uint64_t> failingBlocks;
  std::map<std::uint64_t, std::vector<std::uint8_t>> blocks;
  std::vector<sim::ScsiRequest> requests;
};

// Fixed-format sense data with the given key and additional sense code.
std::vector<std::uint8_t> FixedSense(std::uint8_t key, std::uint8_t code);

}  // namespace testing_disk
