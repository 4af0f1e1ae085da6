#pragma once
// Vendor commands on one logical drive: its information and version
// records, its sectors, erasing it.

#include <cstdint>

#include "core/RyVersionInfo.h"
#include "player/RyVendorCommand.h"

// A vendor command addressed to one drive: drive number in CDB byte 2.
class CRyLogicalDriveCommand : public CRyVendorCommand {
 public:
  std::int32_t BuildCdb() override;

 protected:
  CRyLogicalDriveCommand(const char* name, std::uint8_t operationCode, std::uint8_t subCommand,
                         std::uint8_t driveNumber, std::uint64_t dataInLength,
                         std::uint64_t dataOutLength);

 private:
  std::uint8_t driveNumber;
};

// Sectors of one drive: first sector in CDB bytes 3 to 10, count in 11 to 14.
// Under C0h the sectors come from the player, under C1h they go to it.
class CRyLogicalDriveSectorCommand : public CRyLogicalDriveCommand {
 public:
  std::int32_t BuildCdb() override;

 protected:
  CRyLogicalDriveSectorCommand(const char* name, std::uint8_t operationCode,
                               std::uint8_t subCommand, std::uint8_t driveNumber,
                               std::uint32_t sectorSize, std::uint64_t firstSector,
                               std::uint32_t sectorCount);

 private:
  std::uint64_t firstSector;
  std::uint32_t sectorCount;
};

// C0h 12h: one piece of drive information; its length depends on the type.
class CRyGetLogicalDriveInfo : public CRyLogicalDriveCommand {
 public:
  // length is used for type 11 only. Types above 11: status -9.
  CRyGetLogicalDriveInfo(std::uint8_t driveNumber, std::uint32_t infoType,
                         std::uint32_t length = 0);
  std::int32_t BuildCdb() override;

  // Each for the one type it belongs to (0, 7, 8); -8 for another type.
  std::int32_t GetValue(std::uint32_t& value) const;
  std::int32_t GetComponentVersion(CRyVersionInfo& version) const;
  std::int32_t GetProductVersion(CRyVersionInfo& version) const;

 private:
  std::int32_t ReadVersion(std::uint32_t expectedType, CRyVersionInfo& version) const;

  std::uint32_t infoType;
};

// C1h 20h: writes a version record (types 7 and 8) of a drive.
class CRySetLogicalDriveInfo : public CRyLogicalDriveCommand {
 public:
  CRySetLogicalDriveInfo(std::uint8_t driveNumber, std::uint32_t infoType,
                         const CRyVersionInfo& version);
  std::int32_t BuildCdb() override;

 private:
  std::uint32_t infoType;
  CRyVersionInfo version;
};

// C0h 13h: reads sectorCount sectors of sectorSize bytes.
class CRyReadLogicalDriveSector : public CRyLogicalDriveSectorCommand {
 public:
  CRyReadLogicalDriveSector(std::uint8_t driveNumber, std::uint32_t sectorSize,
                            std::uint64_t firstSector, std::uint32_t sectorCount);

  using CRyScsiCommand::CopyData;
};

// C1h 23h: writes sectorCount sectors of sectorSize bytes from the payload.
class CRyWriteLogicalDriveSector : public CRyLogicalDriveSectorCommand {
 public:
  CRyWriteLogicalDriveSector(std::uint8_t driveNumber, std::uint32_t sectorSize,
                             std::uint64_t firstSector, std::uint32_t sectorCount);

  using CRyScsiCommand::SetPayload;
};

// C1h 2Fh: erases one drive.
class CRyEraseLogicalDrive : public CRyLogicalDriveCommand {
 public:
  explicit CRyEraseLogicalDrive(std::uint8_t driveNumber);
};
