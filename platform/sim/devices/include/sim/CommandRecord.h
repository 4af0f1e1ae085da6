#pragma once
// What an emulated disk saw of one command and how it answered: one entry of
// its trace. Fields that do not belong to the command stay 0.

#include <cstdint>
#include <vector>

#include "sim/ScsiSense.h"

namespace sim {

enum class CommandSource {
  kScsi,       // a SCSI request (pass-through, ASPI)
  kFileRead,   // file I/O on the volume, seen as READ(10)
  kFileWrite,  // file I/O on the volume, seen as WRITE(10)
};

struct CommandRecord {
  CommandSource source = CommandSource::kScsi;
  std::vector<std::uint8_t> cdb;  // empty for file I/O
  std::uint8_t operationCode = 0;
  std::uint8_t subCommand = 0;    // vendor commands: CDB byte 1
  std::uint8_t driveNumber = 0;   // vendor drive commands: CDB byte 2
  std::uint8_t infoType = 0;      // vendor info commands
  std::uint64_t firstSector = 0;  // READ/WRITE(10) block address, vendor first sector
  std::uint32_t sectorCount = 0;
  std::uint32_t dataOutLength = 0;  // bytes the host sent
  std::uint32_t dataInLength = 0;   // bytes the host had room for
  // The command hands sector data to the host (READ(10), file reads, vendor
  // sector reads): what a corrupting fault aims at.
  bool readsSectors = false;

  // The answer.
  std::uint8_t scsiStatus = ScsiResult::kGood;
  SenseData sense;               // on CHECK CONDITION
  std::uint32_t dataInSent = 0;  // bytes returned
  std::uint32_t delayMilliseconds = 0;
  bool deviceGone = false;  // the device had vanished or vanished during it
};

}  // namespace sim
