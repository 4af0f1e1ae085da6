// The simulated vwin32 device: the MS-DOS generic IOCTL calls as Windows 9x
// answers them, the locks it keeps and the parameter-block addresses.

#include <gtest/gtest.h>

#include <cstring>

#include "os/Os.h"
#include "os/Vwin32.h"
#include "sim/Machine.h"
#include "sim/Vwin32Device.h"

namespace {

using vwin32::DIOC_REGISTERS;

constexpr DWORD kIoctl = 0x440D;

class Vwin32DeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    machine->SetWindowsVersion(sim::WindowsVersion::Windows98());
    sim::Vwin32Drive player;
    player.driveMapFlags = 0x0F;
    player.int13Unit = 0xFF;
    player.parameters.cylinders = 973;
    player.parameters.mediaType = 0xF8;
    player.parameters.bytesPerSector = 512;
    player.parameters.sectorsPerTrack = 63;
    player.parameters.heads = 16;
    Device().AddDrive(L'E', player);
    sim::Vwin32Drive hardDisk;
    hardDisk.driveMapFlags = sim::kProtectedModeLogicalDrive | sim::kProtectedModePhysicalDrive;
    hardDisk.int13Unit = 0x80;
    hardDisk.associatedDriveMap = 0x0C;  // C: and D: share the disk
    hardDisk.partitionStart = 0x100000003FULL;
    Device().AddDrive(L'C', hardDisk);
    Device().AddDrive(L'D', hardDisk);
  }
  sim::Vwin32Device& Device() { return sim::Vwin32Device::Of(*machine); }

  // One call as the transport makes it: the drive in BX, the rest as given.
  DIOC_REGISTERS Call(DWORD ecx, DWORD ebx, DWORD edx = 0, DWORD flags = 0) {
    DIOC_REGISTERS registers = {};
    registers.reg_EAX = kIoctl;
    registers.reg_EBX = ebx;
    registers.reg_ECX = ecx;
    registers.reg_EDX = edx;
    registers.reg_Flags = flags;
    Device().CallDos(registers);
    return registers;
  }
  static bool Failed(const DIOC_REGISTERS& registers) {
    return (registers.reg_Flags & vwin32::kCarryFlag) != 0;
  }
  static WORD Error(const DIOC_REGISTERS& registers) {
    return Failed(registers) ? static_cast<WORD>(registers.reg_EAX) : 0;
  }

  sim::ScopedMachine machine;
};

TEST_F(Vwin32DeviceTest, ExistsOnWindows9xOnly) {
  EXPECT_TRUE(Device().IsAvailable());
  Device().SetRemoved(true);
  EXPECT_FALSE(Device().IsAvailable());
  Device().SetRemoved(false);
  machine->SetWindowsVersion(sim::WindowsVersion::WindowsXp());
  EXPECT_FALSE(Device().IsAvailable());
}

TEST_F(Vwin32DeviceTest, DeviceIoControlCarriesTheRegisterRecord) {
  DIOC_REGISTERS registers = {};
  registers.reg_EAX = kIoctl;
  registers.reg_EBX = 5;
  registers.reg_ECX = 0x084A;
  DIOC_REGISTERS out = {};
  DWORD returned = 0;
  EXPECT_EQ(Device().DeviceIoControl(vwin32::VWIN32_DIOC_DOS_IOCTL, &registers, sizeof registers,
                                     &out, sizeof out, returned),
            ERROR_SUCCESS);
  EXPECT_EQ(returned, sizeof out);
  EXPECT_EQ(out.reg_ECX, 0x084Au);
  EXPECT_FALSE(Failed(out));

  EXPECT_EQ(Device().DeviceIoControl(vwin32::VWIN32_DIOC_DOS_IOCTL, &registers,
                                     sizeof registers - 1, &out, sizeof out, returned),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(Device().DeviceIoControl(2, &registers, sizeof registers, &out, sizeof out, returned),
            ERROR_NOT_SUPPORTED);
  EXPECT_EQ(returned, 0u);
}

TEST_F(Vwin32DeviceTest, FailureSetsCarryAndErrorInAxOnly) {
  // F: does not exist.
  const DIOC_REGISTERS out = Call(0x484A, 6, 0, 0x0200);
  EXPECT_EQ(out.reg_Flags, 0x0201u);
  EXPECT_EQ(Error(out), sim::kDosInvalidDrive);
  DIOC_REGISTERS other = {};
  other.reg_EAX = 0x12347305;  // not the generic IOCTL
  Device().CallDos(other);
  EXPECT_TRUE(Failed(other));
  EXPECT_EQ(other.reg_EAX, 0x12340000u | sim::kDosInvalidFunction);
  EXPECT_EQ(Error(Call(0x0940, 5)), sim::kDosInvalidFunction);  // another category
}

TEST_F(Vwin32DeviceTest, LogicalLockKeepsLevelAndPermissions) {
  EXPECT_FALSE(Failed(Call(0x484A, 5, 4)));
  const std::vector<sim::Vwin32Lock> locks = Device().LogicalLocks(L'E');
  ASSERT_EQ(locks.size(), 1u);
  EXPECT_EQ(locks[0].level, 0);
  EXPECT_EQ(locks[0].permissions, 4);
  EXPECT_FALSE(Failed(Call(0x486A, 5)));
  EXPECT_TRUE(Device().LogicalLocks(L'E').empty());
  EXPECT_EQ(Error(Call(0x486A, 5)), sim::kDosVolumeNotLocked);
}

TEST_F(Vwin32DeviceTest, LockLevelsFollowTheHierarchy) {
  struct Step {
    BYTE level;
    bool granted;
  };
  struct Case {
    const char* what;
    std::vector<Step> steps;
  };
  const Case cases[] = {
      {"level 0, then again for formatting", {{0, true}, {0, true}, {0, false}}},
      {"1, 2, 3 in order", {{1, true}, {2, true}, {3, true}}},
      {"level 0 then the hierarchy", {{0, true}, {1, true}, {2, true}}},
      {"a level skipped", {{1, true}, {3, false}}},
      {"level 2 first", {{2, false}}},
      {"level 0 inside the hierarchy", {{1, true}, {0, false}}},
      {"no level 4", {{4, false}}},
  };
  for (const Case& c : cases) {
    sim::ScopedMachine fresh;
    fresh->SetWindowsVersion(sim::WindowsVersion::Windows98());
    sim::Vwin32Device& device = sim::Vwin32Device::Of(*fresh);
    device.AddDrive(L'E', sim::Vwin32Drive{});
    for (const Step& step : c.steps) {
      DIOC_REGISTERS registers = {};
      registers.reg_EAX = kIoctl;
      registers.reg_EBX = DWORD{step.level} << 8 | 5;
      registers.reg_ECX = 0x084A;
      device.CallDos(registers);
      EXPECT_EQ(!Failed(registers), step.granted) << c.what << ", level " << int{step.level};
    }
  }
}

TEST_F(Vwin32DeviceTest, RefusedLockFailsInBothCategories) {
  sim::Vwin32Drive busy;
  busy.refusesLock = true;
  Device().AddDrive(L'G', busy);
  EXPECT_EQ(Error(Call(0x484A, 7)), sim::kDosAccessDenied);
  EXPECT_EQ(Error(Call(0x084A, 7)), sim::kDosAccessDenied);
  EXPECT_TRUE(Device().LogicalLocks(L'G').empty());
}

TEST_F(Vwin32DeviceTest, Fat32CategoryComesWithWindows95Osr2) {
  struct Case {
    sim::WindowsVersion version;
    bool knowsCategory48;
  };
  sim::WindowsVersion osr2 = sim::WindowsVersion::Windows95();
  osr2.build = 1111;
  const Case cases[] = {
      {sim::WindowsVersion::Windows95(), false},
      {osr2, true},
      {sim::WindowsVersion::Windows98(), true},
      {sim::WindowsVersion::WindowsMe(), true},
  };
  for (const Case& c : cases) {
    machine->SetWindowsVersion(c.version);
    std::uint8_t record[16] = {16};
    EXPECT_EQ(!Failed(Call(0x486F, 5, vwin32::AddressOf(record))), c.knowsCategory48)
        << c.version.build;
    EXPECT_FALSE(Failed(Call(0x086F, 5, vwin32::AddressOf(record))));
  }
  machine->SetWindowsVersion(sim::WindowsVersion::Windows98());
  Device().SetFat32CategorySupported(false);
  EXPECT_EQ(Error(Call(0x486F, 5)), sim::kDosInvalidFunction);
  Device().SetFat32CategorySupported(std::nullopt);
  sim::Vwin32Drive oldDriver;
  oldDriver.refusesFat32Category = true;
  Device().AddDrive(L'H', oldDriver);
  EXPECT_EQ(Error(Call(0x484A, 8)), sim::kDosInvalidFunction);
  EXPECT_FALSE(Failed(Call(0x084A, 8)));
}

TEST_F(Vwin32DeviceTest, PhysicalLockNamesTheDiskByItsInt13Unit) {
  EXPECT_FALSE(Failed(Call(0x484B, 0x80, 4)));
  ASSERT_EQ(Device().PhysicalLocks(0x80).size(), 1u);
  EXPECT_EQ(Device().PhysicalLocks(0x80)[0].permissions, 4);
  EXPECT_FALSE(Failed(Call(0x486B, 0x80)));
  EXPECT_TRUE(Device().PhysicalLocks(0x80).empty());
  // A drive number (5 = E:) is a floppy unit here, and FFh names no disk.
  EXPECT_EQ(Error(Call(0x484B, 5, 4)), sim::kDosInvalidDrive);
  EXPECT_EQ(Error(Call(0x484B, 0xFF, 4)), sim::kDosInvalidDrive);
  EXPECT_EQ(Error(Call(0x486B, 0x81)), sim::kDosInvalidDrive);
  EXPECT_EQ(Error(Call(0x486B, 0x80)), sim::kDosVolumeNotLocked);
  // One volume of the disk in use refuses the whole disk.
  sim::Vwin32Drive busy;
  busy.int13Unit = 0x80;
  busy.refusesLock = true;
  Device().AddDrive(L'd', busy);
  EXPECT_EQ(Error(Call(0x484B, 0x80)), sim::kDosAccessDenied);
}

TEST_F(Vwin32DeviceTest, DriveMapInformation) {
  std::uint8_t record[16];
  std::memset(record, 0xEE, sizeof record);
  record[0] = 16;
  EXPECT_FALSE(Failed(Call(0x486F, 3, vwin32::AddressOf(record))));
  const std::uint8_t expected[16] = {16,   16,   0x03, 0x80, 0x0C, 0,    0, 0,
                                     0x3F, 0x00, 0x00, 0x00, 0x10, 0x00, 0, 0};
  EXPECT_EQ(std::memcmp(record, expected, sizeof record), 0);

  std::uint8_t player[16] = {16};
  EXPECT_FALSE(Failed(Call(0x086F, 5, vwin32::AddressOf(player))));
  EXPECT_EQ(player[2], 0x0F);
  EXPECT_EQ(player[3], 0xFF);
  EXPECT_EQ(player[4], 0x10);  // E: alone

  // The allocation length bounds what is written.
  std::uint8_t shortRecord[16];
  std::memset(shortRecord, 0xEE, sizeof shortRecord);
  shortRecord[0] = 4;
  EXPECT_FALSE(Failed(Call(0x486F, 3, vwin32::AddressOf(shortRecord))));
  EXPECT_EQ(shortRecord[1], 4);
  EXPECT_EQ(shortRecord[3], 0x80);
  EXPECT_EQ(shortRecord[4], 0xEE);

  EXPECT_EQ(Error(Call(0x486F, 3, 0)), sim::kDosInvalidAddress);
  EXPECT_EQ(Error(Call(0x486F, 26, vwin32::AddressOf(player))), sim::kDosInvalidDrive);
}

TEST_F(Vwin32DeviceTest, DeviceParametersFillTheBlock) {
  std::uint8_t block[64];
  std::memset(block, 0xEE, sizeof block);
  block[0] = 0;
  const DIOC_REGISTERS out = Call(0x0860, 5, vwin32::AddressOf(block), vwin32::kCarryFlag);
  EXPECT_FALSE(Failed(out));
  EXPECT_EQ(block[0], 0);                     // special functions stay the caller's
  EXPECT_EQ(block[4] | block[5] << 8, 973);   // cylinders
  EXPECT_EQ(block[6], 0xF8);                  // media type
  EXPECT_EQ(block[7] | block[8] << 8, 512);   // bytes per sector
  EXPECT_EQ(block[20] | block[21] << 8, 63);  // sectors per track
  EXPECT_EQ(block[22] | block[23] << 8, 16);  // heads
  EXPECT_EQ(block[17], 0xF8);                 // the BPB's media descriptor
  EXPECT_EQ(block[37], 0);
  EXPECT_EQ(block[38], 0xEE);
  // Only the FAT16 form is known.
  EXPECT_EQ(Error(Call(0x4860, 5, vwin32::AddressOf(block))), sim::kDosInvalidFunction);
}

TEST_F(Vwin32DeviceTest, DriveZeroIsTheDefaultDrive) {
  Device().SetDefaultDrive(L'E');
  std::uint8_t record[16] = {16};
  EXPECT_FALSE(Failed(Call(0x486F, 0, vwin32::AddressOf(record))));
  EXPECT_EQ(record[2], 0x0F);
}

TEST_F(Vwin32DeviceTest, CallLogKeepsBothRegisterRecords) {
  Device().SetFat32CategorySupported(false);
  Call(0x484A, 5);
  Call(0x084A, 5);
  const std::vector<sim::Vwin32Call> calls = Device().Calls();
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].in.reg_ECX, 0x484Au);
  EXPECT_EQ(calls[0].in.reg_EBX, 5u);
  EXPECT_TRUE(Failed(calls[0].out));
  EXPECT_EQ(calls[1].in.reg_ECX, 0x084Au);
  EXPECT_FALSE(Failed(calls[1].out));
}

TEST(Vwin32Address, ResolvesWhatItHandedOut) {
  std::uint8_t first[16];
  std::uint8_t second[16];
  const DWORD a = vwin32::AddressOf(first);
  const DWORD b = vwin32::AddressOf(second);
  EXPECT_NE(a, 0u);
  EXPECT_NE(a, b);
  EXPECT_EQ(vwin32::AddressOf(first), a);
  EXPECT_EQ(sim::ResolveVwin32Address(a), first);
  EXPECT_EQ(sim::ResolveVwin32Address(b), second);
  EXPECT_EQ(vwin32::AddressOf(nullptr), 0u);
  EXPECT_EQ(sim::ResolveVwin32Address(0), nullptr);
}

}  // namespace
