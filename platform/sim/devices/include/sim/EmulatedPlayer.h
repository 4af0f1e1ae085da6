#pragma once
// The emulated K520 player: a removable SCSI disk whose medium is the data
// drive of its flash, and which answers the vendor command set (operation
// codes C0h, data from the player, and C1h, data to it or none) over the
// flash model of Flash.h.
//
// Vendor commands (16-byte CDBs, big-endian fields):
//   C0h 02h  media info, type in [2]; answer length by type: 0:2 1:8 5:1
//            6:4 7:2 8:as the host asks 9:1. Type 9 is the player flag (1 or
//            0); the other types answer zeros.
//   C0h 05h  logical table, maximum count in [2]; answer: 16-bit count, then
//            11-byte entries (number, type, tag, 64-bit size), at most that
//            many; the count says how many were sent.
//   C0h 12h  drive info, drive [2], type [3]; lengths 0:4 1:4 2:8 3:4 4:8
//            5:4 6:1 7:48 8:48 9:1 10:2 11:as the host asks. Type 0 is the
//            sector size (32-bit), 7 and 8 the component and product version
//            (three 16-bit parts at 0, 2, 4; system drives only); the other
//            types answer zeros.
//   C0h 13h  read drive sectors, drive [2], first sector [3..10], count
//            [11..14].
//   C0h 30h  chip major revision, 16-bit.
//   C1h 06h  allocate logical media, count in [2], payload 11 x count bytes
//            of which record i at 10 x i is type, tag, 64-bit size.
//   C1h 07h  erase logical media: no table, no content.
//   C1h 20h  set drive info, drive [2], type [3] (7 or 8), version [4..9].
//   C1h 23h  write drive sectors, as C0h 13h with the sectors as payload.
//   C1h 2Fh  erase logical drive: sectors FFh, version records 0.0.0.
//   C1h 31h  chip reset.
//
// Refusals (CHECK CONDITION): CDBs shorter than 16 bytes and transfers that
// do not fit are refused as ScsiDisk refuses them (24h, 4Bh); everything
// else the player refuses with key 9 and a code of PlayerSenseCodes.h:
// unknown pairs of operation code and sub-command, info types the command
// does not provide, drive numbers not in the table, sector ranges beyond
// the drive, version records of a data drive, and allocations against the
// rules of Flash.h. A sector count of 0 reads or writes nothing.
//
// Without a data drive (or with one of no sectors) the disk has no medium:
// READ CAPACITY, READ, WRITE and TEST UNIT READY answer NOT READY 3Ah/00h
// and file I/O sees 0 blocks.
//
// A chip reset is counted. What survives it: the flash (table, content,
// versions), the configuration, the armed faults and the trace. When set
// to, the player reports the reset to the next command other than INQUIRY
// with UNIT ATTENTION 29h/00h, as a re-enumerated device does.

#include <cstdint>
#include <optional>

#include "sim/Flash.h"
#include "sim/ScsiDisk.h"

namespace sim {

struct PlayerConfig {
  ScsiIdentity identity{"norvik", "K520", "1.00"};
  std::uint64_t flashSizeInBytes = std::uint64_t{128} * 1024 * 1024;
  std::uint32_t systemSectorSize = 2048;
  std::uint32_t dataSectorSize = 512;
  std::uint16_t chipMajorRevision = 3;
  bool playerFlag = true;  // media info type 9
  bool reportResetAsUnitAttention = false;
};

class EmulatedPlayer : public ScsiDisk {
 public:
  explicit EmulatedPlayer(const PlayerConfig& config = PlayerConfig{});

  Flash& GetFlash() { return flash; }
  const Flash& GetFlash() const { return flash; }

  void SetChipMajorRevision(std::uint16_t revision) { config.chipMajorRevision = revision; }
  void SetPlayerFlag(bool flag) { config.playerFlag = flag; }
  void SetReportResetAsUnitAttention(bool report) { config.reportResetAsUnitAttention = report; }
  const PlayerConfig& GetConfig() const { return config; }

  std::uint32_t ResetCount() const { return resetCount; }

 protected:
  SparseBlockStore* Medium() override;
  const SparseBlockStore* Medium() const override;
  std::optional<ScsiResult> ExecuteOther(const ScsiRequest& request) override;
  void DescribeOther(const ScsiRequest& request, CommandRecord& record) const override;

 private:
  void ChipReset();

  PlayerConfig config;
  Flash flash;
  std::uint32_t resetCount = 0;
};

}  // namespace sim
