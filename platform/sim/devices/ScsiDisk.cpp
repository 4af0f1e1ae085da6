#include "sim/ScsiDisk.h"

#include <algorithm>
#include <utility>

#include "BigEndian.h"
#include "ScsiTransfer.h"
#include "sim/Machine.h"

namespace sim {

namespace {

constexpr std::size_t kCdb6Length = 6;
constexpr std::size_t kCdb10Length = 10;
constexpr std::uint32_t kReadCapacityLength = 8;
constexpr std::uint64_t kLargestBlockAddress10 = 0xFFFFFFFF;

// INQUIRY: direct-access device, removable, SCSI-2 answer format.
constexpr std::uint8_t kRemovableBit = 0x80;
constexpr std::uint8_t kVersionScsi2 = 0x02;
constexpr std::uint8_t kResponseFormat2 = 0x02;
constexpr std::size_t kVendorOffset = 8;
constexpr std::size_t kProductOffset = 16;
constexpr std::size_t kRevisionOffset = 32;

constexpr std::size_t kVendorLength = 8;
constexpr std::size_t kProductLength = 16;
constexpr std::size_t kRevisionLength = 4;

std::string Padded(const std::string& text, std::size_t width) {
  std::string padded = text.substr(0, width);
  padded.resize(width, ' ');
  return padded;
}

ScsiIdentity PaddedIdentity(const ScsiIdentity& identity) {
  return ScsiIdentity{Padded(identity.vendor, kVendorLength),
                      Padded(identity.product, kProductLength),
                      Padded(identity.revision, kRevisionLength)};
}

// A blank-padded text field of the INQUIRY data.
void PutText(std::vector<std::uint8_t>& data, std::size_t offset, std::size_t width,
             const std::string& text) {
  for (std::size_t i = 0; i < width; ++i) {
    data[offset + i] = static_cast<std::uint8_t>(i < text.size() ? text[i] : ' ');
  }
}

void Distort(ScsiResult& result, const FaultHits& hits) {
  if (hits.answerLength && *hits.answerLength < result.dataIn.size()) {
    result.dataIn.resize(*hits.answerLength);
  }
  if (hits.corruptOffset && !result.dataIn.empty()) {
    result.dataIn[*hits.corruptOffset % result.dataIn.size()] ^= 0xFF;
  }
}

}  // namespace

ScsiDisk::ScsiDisk(const ScsiIdentity& identity, std::uint32_t blockSize, std::uint64_t blockCount,
                   std::uint8_t fill)
    : ScsiDisk(identity, blockSize) {
  ownMedium = std::make_unique<SparseBlockStore>(blockSize, blockCount, fill);
}

ScsiDisk::ScsiDisk(const ScsiIdentity& identity, std::uint32_t blockSize)
    : identity(PaddedIdentity(identity)), nominalBlockSize(blockSize) {}

ScsiDisk::~ScsiDisk() = default;

bool ScsiDisk::IsPresent() const {
  std::lock_guard<std::mutex> lock(mutex);
  return present;
}

void ScsiDisk::SetPresent(bool isPresent) {
  std::lock_guard<std::mutex> lock(mutex);
  present = isPresent;
}

ScsiResult ScsiDisk::ExecuteScsi(const ScsiRequest& request) {
  std::lock_guard<std::mutex> lock(mutex);
  return Run(Describe(request), [&] { return Dispatch(request); });
}

std::uint32_t ScsiDisk::GetBlockSize() const {
  std::lock_guard<std::mutex> lock(mutex);
  const SparseBlockStore* medium = Medium();
  return medium != nullptr ? medium->BlockSize() : nominalBlockSize;
}

std::uint64_t ScsiDisk::GetBlockCount() const {
  std::lock_guard<std::mutex> lock(mutex);
  const SparseBlockStore* medium = Medium();
  return medium != nullptr ? medium->BlockCount() : 0;
}

bool ScsiDisk::ReadBlocks(std::uint64_t firstBlock, std::uint32_t blockCount, std::uint8_t* out) {
  std::lock_guard<std::mutex> lock(mutex);
  const SparseBlockStore* medium = Medium();
  CommandRecord record = FileRecord(CommandSource::kFileRead, firstBlock, blockCount);
  const std::size_t length = record.dataInLength;
  const ScsiResult result = Run(std::move(record), [&] {
    if (auto refusal = CheckBlocks(firstBlock, blockCount)) return CheckCondition(*refusal);
    std::vector<std::uint8_t> data(length);
    medium->ReadBlocks(firstBlock, blockCount, data.data());
    return Good(std::move(data));
  });
  if (result.scsiStatus != ScsiResult::kGood || result.dataIn.size() != length) return false;
  std::copy(result.dataIn.begin(), result.dataIn.end(), out);
  return true;
}

bool ScsiDisk::WriteBlocks(std::uint64_t firstBlock, std::uint32_t blockCount,
                           const std::uint8_t* data) {
  std::lock_guard<std::mutex> lock(mutex);
  SparseBlockStore* medium = Medium();
  CommandRecord record = FileRecord(CommandSource::kFileWrite, firstBlock, blockCount);
  const ScsiResult result = Run(std::move(record), [&] {
    if (auto refusal = CheckBlocks(firstBlock, blockCount)) return CheckCondition(*refusal);
    medium->WriteBlocks(firstBlock, blockCount, data);
    return Good();
  });
  return result.scsiStatus == ScsiResult::kGood;
}

std::vector<CommandRecord> ScsiDisk::Trace() const {
  std::lock_guard<std::mutex> lock(mutex);
  return trace;
}

void ScsiDisk::ClearTrace() {
  std::lock_guard<std::mutex> lock(mutex);
  trace.clear();
}

SparseBlockStore* ScsiDisk::Medium() { return ownMedium.get(); }
const SparseBlockStore* ScsiDisk::Medium() const { return ownMedium.get(); }

std::optional<ScsiResult> ScsiDisk::ExecuteOther(const ScsiRequest&) { return std::nullopt; }
void ScsiDisk::DescribeOther(const ScsiRequest&, CommandRecord&) const {}

void ScsiDisk::RaiseUnitAttention(const SenseData& sense) { unitAttention = sense; }

CommandRecord ScsiDisk::Describe(const ScsiRequest& request) const {
  CommandRecord record;
  record.cdb = request.cdb;
  record.operationCode = request.cdb.empty() ? 0 : request.cdb[0];
  record.dataOutLength = static_cast<std::uint32_t>(request.dataOut.size());
  record.dataInLength = request.dataInLength;
  const bool blockCommand =
      record.operationCode == ScsiOp::kRead10 || record.operationCode == ScsiOp::kWrite10;
  if (blockCommand && request.cdb.size() >= kCdb10Length) {
    record.firstSector = be::Get32(&request.cdb[2]);
    record.sectorCount = be::Get16(&request.cdb[7]);
    record.readsSectors = record.operationCode == ScsiOp::kRead10;
  }
  DescribeOther(request, record);
  return record;
}

CommandRecord ScsiDisk::FileRecord(CommandSource source, std::uint64_t firstBlock,
                                   std::uint32_t blockCount) const {
  const SparseBlockStore* medium = Medium();
  const std::uint32_t length =
      medium != nullptr ? static_cast<std::uint32_t>(blockCount * medium->BlockSize()) : 0;
  CommandRecord record;
  record.source = source;
  record.firstSector = firstBlock;
  record.sectorCount = blockCount;
  if (source == CommandSource::kFileRead) {
    record.operationCode = ScsiOp::kRead10;
    record.dataInLength = length;
    record.readsSectors = true;
  } else {
    record.operationCode = ScsiOp::kWrite10;
    record.dataOutLength = length;
  }
  return record;
}

ScsiResult ScsiDisk::Run(CommandRecord record, const std::function<ScsiResult()>& execute) {
  ScsiResult result = CheckCondition(Sense::kLogicalUnitNotSupported);
  record.deviceGone = !present;
  if (present) {
    const FaultHits hits = faults.Next(record);
    if (hits.delayMilliseconds > 0) {
      record.delayMilliseconds = hits.delayMilliseconds;
      Machine::Current().AdvanceClock(hits.delayMilliseconds);
    }
    if (hits.disappear) {
      present = false;
      record.deviceGone = true;
    } else if (hits.failBefore) {
      result = CheckCondition(*hits.failBefore);
    } else if (unitAttention && record.source == CommandSource::kScsi &&
               record.operationCode != ScsiOp::kInquiry) {
      result = CheckCondition(*unitAttention);
      unitAttention.reset();
    } else {
      result = execute();
      if (hits.failAfter) result = CheckCondition(*hits.failAfter);
      if (result.scsiStatus == ScsiResult::kGood) Distort(result, hits);
    }
  }
  record.scsiStatus = result.scsiStatus;
  record.sense = SenseData::FromBytes(result.sense);
  record.dataInSent = static_cast<std::uint32_t>(result.dataIn.size());
  trace.push_back(std::move(record));
  return result;
}

ScsiResult ScsiDisk::Dispatch(const ScsiRequest& request) {
  if (request.cdb.empty()) return CheckCondition(Sense::kInvalidOperationCode);
  switch (request.cdb[0]) {
    case ScsiOp::kTestUnitReady:
      return TestUnitReady(request);
    case ScsiOp::kInquiry:
      return Inquiry(request);
    case ScsiOp::kReadCapacity10:
      return ReadCapacity(request);
    case ScsiOp::kRead10:
    case ScsiOp::kWrite10:
      return ReadWrite(request);
    default:
      break;
  }
  if (std::optional<ScsiResult> other = ExecuteOther(request)) return std::move(*other);
  return CheckCondition(Sense::kInvalidOperationCode);
}

ScsiResult ScsiDisk::Inquiry(const ScsiRequest& request) const {
  if (auto refusal = CheckCdbLength(request, kCdb6Length)) return CheckCondition(*refusal);
  const bool vitalProductData = (request.cdb[1] & 0x01) != 0;
  if (vitalProductData || request.cdb[2] != 0) return CheckCondition(Sense::kInvalidFieldInCdb);
  const std::uint32_t length = std::min<std::uint32_t>(kInquiryLength, be::Get16(&request.cdb[3]));
  if (auto refusal = CheckTransfer(request, Transfer::In(length))) return CheckCondition(*refusal);

  std::vector<std::uint8_t> data(kInquiryLength, 0);
  data[1] = kRemovableBit;
  data[2] = kVersionScsi2;
  data[3] = kResponseFormat2;
  data[4] = static_cast<std::uint8_t>(kInquiryLength - 5);
  PutText(data, kVendorOffset, kVendorLength, identity.vendor);
  PutText(data, kProductOffset, kProductLength, identity.product);
  PutText(data, kRevisionOffset, kRevisionLength, identity.revision);
  data.resize(length);
  return Good(std::move(data));
}

ScsiResult ScsiDisk::TestUnitReady(const ScsiRequest& request) const {
  if (auto refusal = CheckCdbLength(request, kCdb6Length)) return CheckCondition(*refusal);
  if (Medium() == nullptr) return CheckCondition(Sense::kMediumNotPresent);
  if (auto refusal = CheckTransfer(request, Transfer::None())) return CheckCondition(*refusal);
  return Good();
}

ScsiResult ScsiDisk::ReadCapacity(const ScsiRequest& request) const {
  if (auto refusal = CheckCdbLength(request, kCdb10Length)) return CheckCondition(*refusal);
  const SparseBlockStore* medium = Medium();
  if (medium == nullptr) return CheckCondition(Sense::kMediumNotPresent);
  if (auto refusal = CheckTransfer(request, Transfer::In(kReadCapacityLength))) {
    return CheckCondition(*refusal);
  }
  // A medium beyond what 32 bits address reports the largest address, as
  // READ CAPACITY(10) does.
  const std::uint64_t lastBlock = std::min(medium->BlockCount() - 1, kLargestBlockAddress10);
  std::vector<std::uint8_t> data(kReadCapacityLength);
  be::Put(&data[0], 4, lastBlock);
  be::Put(&data[4], 4, medium->BlockSize());
  return Good(std::move(data));
}

ScsiResult ScsiDisk::ReadWrite(const ScsiRequest& request) {
  if (auto refusal = CheckCdbLength(request, kCdb10Length)) return CheckCondition(*refusal);
  SparseBlockStore* medium = Medium();
  if (medium == nullptr) return CheckCondition(Sense::kMediumNotPresent);
  const bool write = request.cdb[0] == ScsiOp::kWrite10;
  const std::uint32_t firstBlock = be::Get32(&request.cdb[2]);
  const std::uint16_t blockCount = be::Get16(&request.cdb[7]);
  const std::uint64_t length = std::uint64_t{blockCount} * medium->BlockSize();
  const Transfer transfer = write ? Transfer::Out(length) : Transfer::In(length);
  if (auto refusal = CheckTransfer(request, transfer)) return CheckCondition(*refusal);
  if (auto refusal = CheckBlocks(firstBlock, blockCount)) return CheckCondition(*refusal);
  if (write) {
    medium->WriteBlocks(firstBlock, blockCount, request.dataOut.data());
    return Good();
  }
  std::vector<std::uint8_t> data(static_cast<std::size_t>(length));
  medium->ReadBlocks(firstBlock, blockCount, data.data());
  return Good(std::move(data));
}

std::optional<SenseData> ScsiDisk::CheckBlocks(std::uint64_t firstBlock,
                                               std::uint64_t count) const {
  const SparseBlockStore* medium = Medium();
  if (medium == nullptr) return Sense::kMediumNotPresent;
  if (!medium->Contains(firstBlock, count)) return Sense::kLbaOutOfRange;
  return std::nullopt;
}

}  // namespace sim
