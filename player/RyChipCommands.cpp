#include "player/RyChipCommands.h"

namespace {

constexpr std::uint32_t kRevisionLength = 2;

}  // namespace

CRyGetChipMajorRevId::CRyGetChipMajorRevId()
    : CRyVendorCommand("CRyGetChipMajorRevId", RyVendor::kOpDataIn, RyVendor::kSubGetChipMajorRevId,
                       kRevisionLength, 0) {}

std::int32_t CRyGetChipMajorRevId::GetChipMajorRevision(std::uint16_t& revision) const {
  return ReadAnswer([&](const CRyByteArray& answer) { return answer.ReadU16BE(revision, 0); });
}

CRyChipReset::CRyChipReset()
    : CRyVendorCommand("CRyChipReset", RyVendor::kOpDataOut, RyVendor::kSubChipReset, 0, 0) {}
