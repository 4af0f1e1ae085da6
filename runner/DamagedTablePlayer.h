#pragma once
// The emulated player with a logical table it cannot read: it refuses the
// table query until its medium is erased, as a player whose table was
// damaged does until it is cut anew. Undamaged, it is the plain player.

#include <optional>

#include "sim/EmulatedPlayer.h"

class DamagedTablePlayer : public sim::EmulatedPlayer {
 public:
  // What the player answers to the table query while damaged.
  static constexpr std::uint16_t kTableDamagedCode = 0x0510;

  explicit DamagedTablePlayer(const sim::PlayerConfig& config) : sim::EmulatedPlayer(config) {}

  void SetTableDamaged(bool damaged) { tableDamaged = damaged; }
  bool IsTableDamaged() const { return tableDamaged; }

 protected:
  std::optional<sim::ScsiResult> ExecuteOther(const sim::ScsiRequest& request) override;

 private:
  bool tableDamaged = false;
};
