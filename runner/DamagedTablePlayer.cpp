#include "runner/DamagedTablePlayer.h"

#include "sim/ScsiSense.h"

namespace {

constexpr std::uint8_t kVendorRead = 0xC0;
constexpr std::uint8_t kVendorWrite = 0xC1;
constexpr std::uint8_t kGetLogicalTable = 0x05;
constexpr std::uint8_t kEraseLogicalMedia = 0x07;

bool Is(const sim::ScsiRequest& request, std::uint8_t operation, std::uint8_t subCommand) {
  return request.cdb.size() >= 2 && request.cdb[0] == operation && request.cdb[1] == subCommand;
}

}  // namespace

std::optional<sim::ScsiResult> DamagedTablePlayer::ExecuteOther(const sim::ScsiRequest& request) {
  if (tableDamaged && Is(request, kVendorRead, kGetLogicalTable)) {
    return sim::CheckCondition(sim::SenseData::Vendor(kTableDamagedCode));
  }
  std::optional<sim::ScsiResult> result = sim::EmulatedPlayer::ExecuteOther(request);
  if (tableDamaged && Is(request, kVendorWrite, kEraseLogicalMedia) && result &&
      result->scsiStatus == sim::ScsiResult::kGood) {
    tableDamaged = false;
  }
  return result;
}
