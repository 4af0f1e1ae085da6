// Vendor requests that no player command is: each ends in CHECK CONDITION
// with its sense, and none of them changes the player.

#include <gtest/gtest.h>

#include <vector>

#include "sim/PlayerSenseCodes.h"
#include "tests/sim_devices/DeviceExchange.h"
#include "tests/sim_devices/PlayerFixture.h"

namespace {

using test::DataInRequest;
using test::DataOutRequest;
using test::NoDataRequest;
using test::VendorCdb;

sim::SenseData Vendor(std::uint16_t code) { return sim::SenseData::Vendor(code); }

class MalformedCommandTest : public test::PlayerTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(Allocate(test::StandardLayout()).scsiStatus, sim::ScsiResult::kGood);
  }
};

TEST_F(MalformedCommandTest, EachIsRefusedWithItsSenseAndChangesNothing) {
  // Drive 0 is a system drive of 2048-byte sectors.
  const std::vector<std::uint8_t> writeOneSector =
      VendorCdb({0xC1, 0x23, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1});
  sim::ScsiRequest writeAsDataIn = DataInRequest(writeOneSector, 2048);
  sim::ScsiRequest tableWithPayload = DataOutRequest(VendorCdb({0xC0, 0x05, 10}), {0});

  test::ExpectRefused(
      player,
      {
          {"unknown sub-command", DataInRequest(VendorCdb({0xC0, 0x7F}), 64),
           Vendor(sim::PlayerSense::kUnknownCommand)},
          {"data-in sub-command under C1h", NoDataRequest(VendorCdb({0xC1, 0x05, 10})),
           Vendor(sim::PlayerSense::kUnknownCommand)},
          {"data-out sub-command under C0h", DataInRequest(VendorCdb({0xC0, 0x2F, 0}), 0),
           Vendor(sim::PlayerSense::kUnknownCommand)},
          {"vendor CDB of ten bytes", DataInRequest({0xC0, 0x30, 0, 0, 0, 0, 0, 0, 0, 0}, 2),
           sim::Sense::kInvalidFieldInCdb},
          {"media info type 3", DataInRequest(VendorCdb({0xC0, 0x02, 3}), 8),
           Vendor(sim::PlayerSense::kInvalidInfoType)},
          {"media info type 10", DataInRequest(VendorCdb({0xC0, 0x02, 10}), 8),
           Vendor(sim::PlayerSense::kInvalidInfoType)},
          {"drive info type 12", DataInRequest(VendorCdb({0xC0, 0x12, 0, 12}), 8),
           Vendor(sim::PlayerSense::kInvalidInfoType)},
          {"drive info of a missing drive", DataInRequest(VendorCdb({0xC0, 0x12, 5, 0}), 4),
           Vendor(sim::PlayerSense::kDriveNotFound)},
          {"set drive info type 0", NoDataRequest(VendorCdb({0xC1, 0x20, 0, 0, 0, 1})),
           Vendor(sim::PlayerSense::kInvalidInfoType)},
          {"set version of a missing drive", NoDataRequest(VendorCdb({0xC1, 0x20, 5, 7, 0, 1})),
           Vendor(sim::PlayerSense::kDriveNotFound)},
          {"table sending a payload", tableWithPayload, sim::Sense::kDataPhaseError},
          {"table with room for less", DataInRequest(VendorCdb({0xC0, 0x05, 10}), 2 + 5 * 11 - 1),
           sim::Sense::kDataPhaseError},
          {"chip revision with room for one byte", DataInRequest(VendorCdb({0xC0, 0x30}), 1),
           sim::Sense::kDataPhaseError},
          {"sector size with no room", NoDataRequest(VendorCdb({0xC0, 0x12, 0, 0})),
           sim::Sense::kDataPhaseError},
          {"erase media with a payload", DataOutRequest(VendorCdb({0xC1, 0x07}), {0}),
           sim::Sense::kDataPhaseError},
          {"chip reset with a payload", DataOutRequest(VendorCdb({0xC1, 0x31}), {0}),
           sim::Sense::kDataPhaseError},
          {"set version with a payload",
           DataOutRequest(VendorCdb({0xC1, 0x20, 0, 7, 0, 1}), {0, 0, 0, 0, 0, 0}),
           sim::Sense::kDataPhaseError},
          {"write of a short payload",
           DataOutRequest(writeOneSector, std::vector<std::uint8_t>(2047)),
           sim::Sense::kDataPhaseError},
          {"write as data-in", writeAsDataIn, sim::Sense::kDataPhaseError},
          {"read with room for less",
           DataInRequest(VendorCdb({0xC0, 0x13, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1}), 2047),
           sim::Sense::kDataPhaseError},
          {"allocation payload of 10 bytes a drive",
           DataOutRequest(VendorCdb({0xC1, 0x06, 1}), std::vector<std::uint8_t>(10)),
           sim::Sense::kDataPhaseError},
      });
  EXPECT_EQ(player.GetFlash().Drives().size(), 5u);
  EXPECT_EQ(player.GetFlash().FindDrive(0)->content.StoredPageCount(), 0u);
  EXPECT_EQ(player.GetFlash().FindDrive(0)->componentVersion, sim::FirmwareVersion{});
  EXPECT_EQ(player.ResetCount(), 0u);
}

TEST_F(MalformedCommandTest, VendorRefusalCarriesItsCodeInBytesTwelveAndThirteen) {
  const sim::ScsiResult result =
      player.ExecuteScsi(DataInRequest(VendorCdb({0xC0, 0x12, 9, 0}), 4));
  EXPECT_EQ(result.sense, (std::vector<std::uint8_t>{0x70, 0, 0x09, 0, 0, 0, 0, 0x0A, 0, 0, 0, 0,
                                                     0x04, 0x01, 0, 0, 0, 0}));
}

}  // namespace
