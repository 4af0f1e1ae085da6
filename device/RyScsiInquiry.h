#pragma once
// INQUIRY: the 96 identification bytes with which discovery recognises the
// player.

#include <cstdint>

#include "player/RyScsiCommand.h"

class CRyScsiInquiry : public CRyScsiCommand {
 public:
  static constexpr std::uint32_t kAnswerLength = 96;

  CRyScsiInquiry();
  std::int32_t BuildCdb() override;

  // -3 when fewer than 96 bytes were stored.
  std::int32_t CopyAnswer(std::uint8_t (&out)[kAnswerLength]) const;
};
