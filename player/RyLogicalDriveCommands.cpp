#include "player/RyLogicalDriveCommands.h"

#include "player/RyInfoTypeLength.h"

namespace {

// Answer lengths of types 0 to 11.
constexpr std::uint32_t kDriveInfoLengths[] = {4, 4,  8,  4, 8, 4,
                                               1, 48, 48, 1, 2, RyInfoType::kCallerLength};

constexpr std::uint32_t kVersionOffset = 4;

}  // namespace

CRyLogicalDriveCommand::CRyLogicalDriveCommand(const char* name, std::uint8_t operationCode,
                                               std::uint8_t subCommand, std::uint8_t driveNumber,
                                               std::uint64_t dataInLength,
                                               std::uint64_t dataOutLength)
    : CRyVendorCommand(name, operationCode, subCommand, dataInLength, dataOutLength),
      driveNumber(driveNumber) {}

std::int32_t CRyLogicalDriveCommand::BuildCdb() {
  return FirstFailure({CRyVendorCommand::BuildCdb(), commandBuffer.SetAt(2, driveNumber)});
}

CRyLogicalDriveSectorCommand::CRyLogicalDriveSectorCommand(
    const char* name, std::uint8_t operationCode, std::uint8_t subCommand, std::uint8_t driveNumber,
    std::uint32_t sectorSize, std::uint64_t firstSector, std::uint32_t sectorCount)
    : CRyLogicalDriveCommand(
          name, operationCode, subCommand, driveNumber,
          operationCode == RyVendor::kOpDataIn ? TransferLength(sectorSize, sectorCount) : 0,
          operationCode == RyVendor::kOpDataIn ? 0 : TransferLength(sectorSize, sectorCount)),
      firstSector(firstSector),
      sectorCount(sectorCount) {}

std::int32_t CRyLogicalDriveSectorCommand::BuildCdb() {
  return FirstFailure({CRyLogicalDriveCommand::BuildCdb(), commandBuffer.WriteU64BE(firstSector, 3),
                       commandBuffer.WriteU32BE(sectorCount, 11)});
}

CRyGetLogicalDriveInfo::CRyGetLogicalDriveInfo(std::uint8_t driveNumber, std::uint32_t infoType,
                                               std::uint32_t length)
    : CRyLogicalDriveCommand("CRyGetLogicalDriveInfo", RyVendor::kOpDataIn,
                             RyVendor::kSubGetLogicalDriveInfo, driveNumber,
                             RyInfoType::AnswerLength(kDriveInfoLengths, infoType, length), 0),
      infoType(infoType) {
  if (!RyInfoType::IsProvided(kDriveInfoLengths, infoType)) {
    status = RyStatus::kArgumentOutOfRange;
  }
}

std::int32_t CRyGetLogicalDriveInfo::BuildCdb() {
  return FirstFailure({CRyLogicalDriveCommand::BuildCdb(),
                       commandBuffer.SetAt(3, static_cast<std::uint8_t>(infoType))});
}

std::int32_t CRyGetLogicalDriveInfo::GetValue(std::uint32_t& value) const {
  if (infoType != RyVendor::kDriveInfoSectorSize) return RyStatus::kUnsupportedInfoType;
  return ReadAnswer([&](const CRyByteArray& answer) { return answer.ReadU32BE(value, 0); });
}

std::int32_t CRyGetLogicalDriveInfo::GetComponentVersion(CRyVersionInfo& version) const {
  return ReadVersion(RyVendor::kDriveInfoComponentVersion, version);
}

std::int32_t CRyGetLogicalDriveInfo::GetProductVersion(CRyVersionInfo& version) const {
  return ReadVersion(RyVendor::kDriveInfoProductVersion, version);
}

std::int32_t CRyGetLogicalDriveInfo::ReadVersion(std::uint32_t expectedType,
                                                 CRyVersionInfo& version) const {
  if (infoType != expectedType) return RyStatus::kUnsupportedInfoType;
  return ReadAnswer([&](const CRyByteArray& answer) { return version.ReadRecord(answer, 0); });
}

CRySetLogicalDriveInfo::CRySetLogicalDriveInfo(std::uint8_t driveNumber, std::uint32_t infoType,
                                               const CRyVersionInfo& version)
    : CRyLogicalDriveCommand("CRySetLogicalDriveInfo", RyVendor::kOpDataOut,
                             RyVendor::kSubSetLogicalDriveInfo, driveNumber, 0, 0),
      infoType(infoType),
      version(version) {}

std::int32_t CRySetLogicalDriveInfo::BuildCdb() {
  return FirstFailure({CRyLogicalDriveCommand::BuildCdb(),
                       commandBuffer.SetAt(3, static_cast<std::uint8_t>(infoType)),
                       version.WriteRecord(commandBuffer, kVersionOffset)});
}

CRyReadLogicalDriveSector::CRyReadLogicalDriveSector(std::uint8_t driveNumber,
                                                     std::uint32_t sectorSize,
                                                     std::uint64_t firstSector,
                                                     std::uint32_t sectorCount)
    : CRyLogicalDriveSectorCommand("CRyReadLogicalDriveSector", RyVendor::kOpDataIn,
                                   RyVendor::kSubReadLogicalDriveSector, driveNumber, sectorSize,
                                   firstSector, sectorCount) {}

CRyWriteLogicalDriveSector::CRyWriteLogicalDriveSector(std::uint8_t driveNumber,
                                                       std::uint32_t sectorSize,
                                                       std::uint64_t firstSector,
                                                       std::uint32_t sectorCount)
    : CRyLogicalDriveSectorCommand("CRyWriteLogicalDriveSector", RyVendor::kOpDataOut,
                                   RyVendor::kSubWriteLogicalDriveSector, driveNumber, sectorSize,
                                   firstSector, sectorCount) {}

CRyEraseLogicalDrive::CRyEraseLogicalDrive(std::uint8_t driveNumber)
    : CRyLogicalDriveCommand("CRyEraseLogicalDrive", RyVendor::kOpDataOut,
                             RyVendor::kSubEraseLogicalDrive, driveNumber, 0, 0) {}
