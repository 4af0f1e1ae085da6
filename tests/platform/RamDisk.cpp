#include "RamDisk.h"

#include <algorithm>
#include <cstring>

namespace testing_disk {

namespace {

constexpr std::uint8_t kInquiry = 0x12;
constexpr std::uint8_t kRead10 = 0x28;
constexpr std::uint8_t kWrite10 = 0x2A;
constexpr std::uint8_t kIllegalRequest = 0x05;
constexpr std::uint8_t kMediumError = 0x03;
constexpr std::uint8_t kInvalidOperationCode = 0x20;
constexpr std::uint8_t kLbaOutOfRange = 0x21;
constexpr std::uint8_t kUnrecoveredReadError = 0x11;

sim::ScsiResult CheckCondition(std::uint8_t key, std::uint8_t code) {
  sim::ScsiResult result;
  result.scsiStatus = sim::ScsiResult::kCheckCondition;
  result.sense = FixedSense(key, code);
  return result;
}

std::uint32_t BigEndian32(const std::uint8_t* bytes) {
  return static_cast<std::uint32_t>(bytes[0]) << 24 | static_cast<std::uint32_t>(bytes[1]) << 16 |
         static_cast<std::uint32_t>(bytes[2]) << 8 | bytes[3];
}

}  // namespace

std::vector<std::uint8_t> FixedSense(std::uint8_t key, std::uint8_t code) {
  std::vector<std::uint8_t> sense(18, 0);
  sense[0] = 0x70;
  sense[2] = key;
  sense[7] = 10;
  sense[12] = code;
  return sense;
}

RamDisk::RamDisk(std::uint64_t blocks, std::uint32_t bytesPerBlock)
    : blockCount(blocks), blockSize(bytesPerBlock) {}

bool RamDisk::Touches(std::uint64_t firstBlock, std::uint32_t count) const {
  auto failing = failingBlocks.lower_bound(firstBlock);
  return failing != failingBlocks.end() && *failing < firstBlock + count;
}

bool RamDisk::ReadBlocks(std::uint64_t firstBlock, std::uint32_t count, std::uint8_t* out) {
  if (firstBlock + count > blockCount || Touches(firstBlock, count)) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::vector<std::uint8_t> bytes = Block(firstBlock + i);
    std::copy(bytes.begin(), bytes.end(), out + std::size_t{i} * blockSize);
  }
  return true;
}

bool RamDisk::WriteBlocks(std::uint64_t firstBlock, std::uint32_t count, const std::uint8_t* data) {
  if (firstBlock + count > blockCount || Touches(firstBlock, count)) return false;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint8_t* start = data + std::size_t{i} * blockSize;
    blocks[firstBlock + i].assign(start, start + blockSize);
  }
  return true;
}

std::vector<std::uint8_t> RamDisk::Block(std::uint64_t block) const {
  auto found = blocks.find(block);
  return found == blocks.end() ? std::vector<std::uint8_t>(blockSize, 0) : found->second;
}

void RamDisk::SetBlock(std::uint64_t block, const std::vector<std::uint8_t>& bytes) {
  std::vector<std::uint8_t> full(blockSize, 0);
  std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), blockSize), full.begin());
  blocks[block] = full;
}

sim::ScsiResult RamDisk::ExecuteScsi(const sim::ScsiRequest& request) {
  requests.push_back(request);
  if (imposed) {
    sim::ScsiResult result = *imposed;
    imposed.reset();
    return result;
  }
  if (request.cdb.empty()) return CheckCondition(kIllegalRequest, kInvalidOperationCode);
  switch (request.cdb[0]) {
    case kInquiry:
      return Inquiry(request);
    case kRead10:
    case kWrite10:
      return ReadWrite10(request);
    default:
      return CheckCondition(kIllegalRequest, kInvalidOperationCode);
  }
}

sim::ScsiResult RamDisk::Inquiry(const sim::ScsiRequest& request) const {
  std::vector<std::uint8_t> data(96, 0);
  data[1] = 0x80;  // removable
  data[4] = 91;
  std::memcpy(&data[8], kVendor, 8);
  std::memcpy(&data[16], kProduct, 16);
  data.resize(std::min<std::size_t>(data.size(), request.dataInLength));
  sim::ScsiResult result;
  result.dataIn = data;
  return result;
}

sim::ScsiResult RamDisk::ReadWrite10(const sim::ScsiRequest& request) {
  if (request.cdb.size() < 10) return CheckCondition(kIllegalRequest, kInvalidOperationCode);
  const std::uint64_t first = BigEndian32(&request.cdb[2]);
  const std::uint32_t count = static_cast<std::uint32_t>(request.cdb[7]) << 8 | request.cdb[8];
  if (first + count > blockCount) return CheckCondition(kIllegalRequest, kLbaOutOfRange);
  sim::ScsiResult result;
  if (request.cdb[0] == kWrite10) {
    if (request.dataOut.size() < std::size_t{count} * blockSize ||
        !WriteBlocks(first, count, request.dataOut.data())) {
      return CheckCondition(kMediumError, kUnrecoveredReadError);
    }
    return result;
  }
  result.dataIn.resize(std::size_t{count} * blockSize);
  if (!ReadBlocks(first, count, result.dataIn.data())) {
    return CheckCondition(kMediumError, kUnrecoveredReadError);
  }
  result.dataIn.resize(std::min<std::size_t>(result.dataIn.size(), request.dataInLength));
  return result;
}

}  // namespace testing_disk
