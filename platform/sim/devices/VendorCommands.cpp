#include "VendorCommands.h"

#include <algorithm>
#include <utility>

#include "BigEndian.h"
#include "ScsiTransfer.h"
#include "sim/EmulatedPlayer.h"
#include "sim/PlayerSenseCodes.h"

namespace sim {

namespace {

constexpr std::uint8_t kOpDataIn = 0xC0;
constexpr std::uint8_t kOpDataOut = 0xC1;
constexpr std::size_t kCdbLength = 16;

constexpr std::uint32_t kTableHeaderSize = 2;
constexpr std::uint32_t kTableEntrySize = 11;
// An allocation record: type, tag, size; 10 bytes apart in an 11 x count
// payload.
constexpr std::uint32_t kAllocationRecordSize = 10;
constexpr std::uint32_t kAllocationPayloadUnit = 11;

constexpr std::uint8_t kComponentVersionType = 7;
constexpr std::uint8_t kProductVersionType = 8;
constexpr std::uint8_t kSectorSizeType = 0;
constexpr std::uint8_t kPlayerFlagType = 9;
constexpr std::size_t kSetVersionOffset = 4;

// Answer lengths by info type; 0: not provided, kHostLength: as the host
// asks.
constexpr std::uint32_t kHostLength = 0xFFFFFFFF;
constexpr std::uint32_t kMediaInfoLengths[] = {2, 8, 0, 0, 0, 1, 4, 2, kHostLength, 1};
constexpr std::uint32_t kDriveInfoLengths[] = {4, 4, 8, 4, 8, 4, 1, 48, 48, 1, 2, kHostLength};

template <std::size_t N>
std::optional<std::uint32_t> InfoLength(const std::uint32_t (&lengths)[N], std::uint8_t type,
                                        const ScsiRequest& request) {
  if (type >= N || lengths[type] == 0) return std::nullopt;
  return lengths[type] == kHostLength ? request.dataInLength : lengths[type];
}

ScsiResult Refuse(std::uint16_t vendorCode) {
  return CheckCondition(SenseData::Vendor(vendorCode));
}

ScsiResult Answer(const ScsiRequest& request, std::vector<std::uint8_t> data) {
  if (auto refusal = CheckTransfer(request, Transfer::In(data.size()))) {
    return CheckCondition(*refusal);
  }
  return Good(std::move(data));
}

// A command without data phase: act once the host sent nothing.
template <typename Act>
ScsiResult Done(const ScsiRequest& request, Act act) {
  if (auto refusal = CheckTransfer(request, Transfer::None())) return CheckCondition(*refusal);
  act();
  return Good();
}

void PutVersion(std::uint8_t* bytes, const FirmwareVersion& version) {
  be::Put(bytes, 2, version.major);
  be::Put(bytes + 2, 2, version.minor);
  be::Put(bytes + 4, 2, version.revision);
}

FirmwareVersion GetVersion(const std::uint8_t* bytes) {
  return FirmwareVersion{be::Get16(bytes), be::Get16(bytes + 2), be::Get16(bytes + 4)};
}

FirmwareVersion* VersionRecord(FlashDrive& drive, std::uint8_t type) {
  return type == kComponentVersionType ? &drive.componentVersion : &drive.productVersion;
}

ScsiResult MediaInfo(const ScsiRequest& request, VendorContext& context) {
  const std::uint8_t type = request.cdb[2];
  const std::optional<std::uint32_t> length = InfoLength(kMediaInfoLengths, type, request);
  if (!length) return Refuse(PlayerSense::kInvalidInfoType);
  std::vector<std::uint8_t> data(*length, 0);
  if (type == kPlayerFlagType) data[0] = context.config.playerFlag ? 1 : 0;
  return Answer(request, std::move(data));
}

ScsiResult LogicalTable(const ScsiRequest& request, VendorContext& context) {
  const std::vector<FlashDrive>& drives = context.flash.Drives();
  const std::size_t count = std::min<std::size_t>(drives.size(), request.cdb[2]);
  std::vector<std::uint8_t> data(kTableHeaderSize + kTableEntrySize * count, 0);
  be::Put(&data[0], 2, count);
  for (std::size_t i = 0; i < count; ++i) {
    std::uint8_t* entry = &data[kTableHeaderSize + kTableEntrySize * i];
    entry[0] = drives[i].number;
    entry[1] = drives[i].type;
    entry[2] = drives[i].tag;
    be::Put(entry + 3, 8, drives[i].SizeInBytes());
  }
  return Answer(request, std::move(data));
}

ScsiResult DriveInfo(const ScsiRequest& request, VendorContext& context) {
  const std::uint8_t type = request.cdb[3];
  const std::optional<std::uint32_t> length = InfoLength(kDriveInfoLengths, type, request);
  if (!length) return Refuse(PlayerSense::kInvalidInfoType);
  FlashDrive* drive = context.flash.FindDrive(request.cdb[2]);
  if (drive == nullptr) return Refuse(PlayerSense::kDriveNotFound);
  const bool version = type == kComponentVersionType || type == kProductVersionType;
  if (version && !drive->IsSystem()) return Refuse(PlayerSense::kNoVersionRecord);
  std::vector<std::uint8_t> data(*length, 0);
  if (type == kSectorSizeType) be::Put(data.data(), 4, drive->SectorSize());
  if (version) PutVersion(data.data(), *VersionRecord(*drive, type));
  return Answer(request, std::move(data));
}

ScsiResult SetDriveInfo(const ScsiRequest& request, VendorContext& context) {
  const std::uint8_t type = request.cdb[3];
  if (type != kComponentVersionType && type != kProductVersionType) {
    return Refuse(PlayerSense::kInvalidInfoType);
  }
  FlashDrive* drive = context.flash.FindDrive(request.cdb[2]);
  if (drive == nullptr) return Refuse(PlayerSense::kDriveNotFound);
  if (!drive->IsSystem()) return Refuse(PlayerSense::kNoVersionRecord);
  return Done(request,
              [&] { *VersionRecord(*drive, type) = GetVersion(&request.cdb[kSetVersionOffset]); });
}

// The sectors a sector command addresses, once drive, transfer and range
// are checked.
struct SectorRange {
  FlashDrive* drive = nullptr;
  std::uint64_t first = 0;
  std::uint32_t count = 0;
  std::uint64_t length = 0;
};

std::optional<ScsiResult> ResolveSectors(const ScsiRequest& request, Flash& flash,
                                         ScsiDirection direction, SectorRange& range) {
  range.drive = flash.FindDrive(request.cdb[2]);
  if (range.drive == nullptr) return Refuse(PlayerSense::kDriveNotFound);
  range.first = be::Get64(&request.cdb[3]);
  range.count = be::Get32(&request.cdb[11]);
  range.length = std::uint64_t{range.count} * range.drive->SectorSize();
  if (auto refusal = CheckTransfer(request, Transfer{direction, range.length})) {
    return CheckCondition(*refusal);
  }
  if (!range.drive->content.Contains(range.first, range.count)) {
    return Refuse(PlayerSense::kSectorOutOfRange);
  }
  return std::nullopt;
}

ScsiResult ReadSectors(const ScsiRequest& request, VendorContext& context) {
  SectorRange range;
  if (auto refusal = ResolveSectors(request, context.flash, ScsiDirection::kIn, range)) {
    return std::move(*refusal);
  }
  std::vector<std::uint8_t> data(static_cast<std::size_t>(range.length));
  range.drive->content.ReadBlocks(range.first, range.count, data.data());
  return Good(std::move(data));
}

ScsiResult WriteSectors(const ScsiRequest& request, VendorContext& context) {
  SectorRange range;
  if (auto refusal = ResolveSectors(request, context.flash, ScsiDirection::kOut, range)) {
    return std::move(*refusal);
  }
  range.drive->content.WriteBlocks(range.first, range.count, request.dataOut.data());
  return Good();
}

ScsiResult EraseDrive(const ScsiRequest& request, VendorContext& context) {
  FlashDrive* drive = context.flash.FindDrive(request.cdb[2]);
  if (drive == nullptr) return Refuse(PlayerSense::kDriveNotFound);
  return Done(request, [drive] { drive->Erase(); });
}

ScsiResult AllocateMedia(const ScsiRequest& request, VendorContext& context) {
  const std::uint8_t count = request.cdb[2];
  if (count > kFlashMaxDrives) return Refuse(PlayerSense::kTooManyDrives);
  const Transfer payload = Transfer::Out(std::uint64_t{kAllocationPayloadUnit} * count);
  if (auto refusal = CheckTransfer(request, payload)) return CheckCondition(*refusal);
  std::vector<DriveRequest> requests;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint8_t* record = &request.dataOut[kAllocationRecordSize * i];
    requests.push_back(DriveRequest{record[0], record[1], be::Get64(record + 2)});
  }
  const std::uint16_t refusal = context.flash.Allocate(requests);
  return refusal != 0 ? Refuse(refusal) : Good();
}

ScsiResult EraseMedia(const ScsiRequest& request, VendorContext& context) {
  return Done(request, [&] { context.flash.EraseAll(); });
}

ScsiResult ChipRevision(const ScsiRequest& request, VendorContext& context) {
  std::vector<std::uint8_t> data(2);
  be::Put(data.data(), 2, context.config.chipMajorRevision);
  return Answer(request, std::move(data));
}

ScsiResult ChipReset(const ScsiRequest& request, VendorContext& context) {
  return Done(request, [&] { context.chipReset(); });
}

using Handler = ScsiResult (*)(const ScsiRequest&, VendorContext&);

struct VendorCommand {
  std::uint8_t operationCode;
  std::uint8_t subCommand;
  Handler handler;
  bool addressesDrive;          // drive number in CDB byte 2
  std::uint8_t infoTypeOffset;  // 0: no info type
  bool addressesSectors;        // first sector [3..10], count [11..14]
};

constexpr VendorCommand kCommands[] = {
    {kOpDataIn, 0x02, MediaInfo, false, 2, false},
    {kOpDataIn, 0x05, LogicalTable, false, 0, false},
    {kOpDataIn, 0x12, DriveInfo, true, 3, false},
    {kOpDataIn, 0x13, ReadSectors, true, 0, true},
    {kOpDataIn, 0x30, ChipRevision, false, 0, false},
    {kOpDataOut, 0x06, AllocateMedia, false, 0, false},
    {kOpDataOut, 0x07, EraseMedia, false, 0, false},
    {kOpDataOut, 0x20, SetDriveInfo, true, 3, false},
    {kOpDataOut, 0x23, WriteSectors, true, 0, true},
    {kOpDataOut, 0x2F, EraseDrive, true, 0, false},
    {kOpDataOut, 0x31, ChipReset, false, 0, false},
};

bool IsVendorOperation(const ScsiRequest& request) {
  return !request.cdb.empty() && (request.cdb[0] == kOpDataIn || request.cdb[0] == kOpDataOut);
}

const VendorCommand* FindCommand(const std::vector<std::uint8_t>& cdb) {
  for (const VendorCommand& command : kCommands) {
    if (command.operationCode == cdb[0] && command.subCommand == cdb[1]) return &command;
  }
  return nullptr;
}

}  // namespace

std::optional<ScsiResult> ExecuteVendorCommand(const ScsiRequest& request, VendorContext& context) {
  if (!IsVendorOperation(request)) return std::nullopt;
  if (auto refusal = CheckCdbLength(request, kCdbLength)) return CheckCondition(*refusal);
  const VendorCommand* command = FindCommand(request.cdb);
  if (command == nullptr) return Refuse(PlayerSense::kUnknownCommand);
  return command->handler(request, context);
}

void DescribeVendorCommand(const ScsiRequest& request, CommandRecord& record) {
  if (!IsVendorOperation(request)) return;
  // A short CDB reads as zeros beyond its end.
  std::vector<std::uint8_t> cdb = request.cdb;
  cdb.resize(std::max(cdb.size(), kCdbLength), 0);
  record.subCommand = cdb[1];
  const VendorCommand* command = FindCommand(cdb);
  if (command == nullptr) return;
  if (command->addressesDrive) record.driveNumber = cdb[2];
  if (command->infoTypeOffset != 0) record.infoType = cdb[command->infoTypeOffset];
  if (command->addressesSectors) {
    record.firstSector = be::Get64(&cdb[3]);
    record.sectorCount = be::Get32(&cdb[11]);
    record.readsSectors = command->operationCode == kOpDataIn;
  }
}

}  // namespace sim
