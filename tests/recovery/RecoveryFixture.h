#pragma once
// A simulated XP machine with a player in recovery mode, the owner the
// channel reaches and the image it is given.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "device/RyRecoveryDev.h"
#include "sim/Machine.h"
#include "sim/RecoveryDriver.h"
#include "tests/recovery/BufferImage.h"
#include "tests/support/TestDeviceOwner.h"

namespace test {

class RecoveryFixture : public ::testing::Test {
 protected:
  RecoveryFixture() : driver(sim::RecoveryDriver::Of(*machine)) {}

  // Opens the channel on an image of that many bytes and streams it.
  std::int32_t Download(std::size_t imageBytes) {
    images.bytes = PatternBytes(imageBytes);
    const std::int32_t opened = channel.OpenDevice();
    if (opened != 0) return opened;
    return channel.DownloadImage(&owner.progress);
  }

  std::vector<DWORD> WriteSizes() const {
    std::vector<DWORD> sizes;
    for (const sim::RecoveryWrite& write : driver.Writes()) sizes.push_back(write.bytes);
    return sizes;
  }

  sim::ScopedMachine machine;
  sim::RecoveryDriver& driver;
  TestDeviceOwner owner;
  BufferImageFactory images;
  CRyRecoveryDev channel{&owner, &images, "CRyRecoveryDev"};
};

}  // namespace test
