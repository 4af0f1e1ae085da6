#include "tests/formatter/FormatBench.h"

#include "player/RyFormatter.h"

namespace test {

namespace {

constexpr std::uint64_t kSystemDriveBytes = FormatBench::kMiB;
constexpr std::uint64_t kSystemDriveCount = 4;

PlayerBenchOptions OptionsFor(std::uint64_t dataDriveBytes, std::uint32_t sectorSize) {
  PlayerBenchOptions options;
  options.systemDriveSize = kSystemDriveBytes;
  options.player.dataSectorSize = sectorSize;
  options.player.flashSizeInBytes = dataDriveBytes + kSystemDriveCount * kSystemDriveBytes;
  return options;
}

// The bench's owner without a configuration, so nothing forces FAT16.
class ConfiglessOwner : public CRyDeviceOwner {
 public:
  explicit ConfiglessOwner(CRyDeviceOwner& inner) : inner(inner) {}
  CRyErrorRecord* GetErrorRecord() override { return inner.GetErrorRecord(); }
  CRyProgress* GetProgress() override { return inner.GetProgress(); }
  CRyResource* GetResource() override { return inner.GetResource(); }
  CRyConfigInfo* GetConfigInfo() override { return nullptr; }

 private:
  CRyDeviceOwner& inner;
};

}  // namespace

FormatBench::FormatBench(std::uint64_t dataDriveBytes, std::uint32_t sectorSize)
    : bench(std::make_unique<PlayerBench>(OptionsFor(dataDriveBytes, sectorSize))),
      transport(std::make_unique<CRyScsi_Nt>(&bench->owner, "CRyScsi_Nt")),
      dataDrive(std::make_unique<CRyDataDrive>("CRyDataDrive")) {
  dataDrive->Attach(transport.get(), &bench->owner, nullptr);
}

std::int32_t FormatBench::Format(bool configured, const std::uint8_t* label,
                                 std::uint32_t labelLength) {
  std::int32_t result = transport->FindPlayerDrive();
  if (result == 0) result = transport->Open();
  if (result == 0) result = transport->LockVolume(0);
  if (result != 0) return result;
  FixedCmdLineProcessor commandLine(0);
  ConfiglessOwner configless(bench->owner);
  CRyDeviceOwner* owner = configured ? static_cast<CRyDeviceOwner*>(&bench->owner) : &configless;
  CRyFormatter formatter(owner, dataDrive.get(), transport.get(), &commandLine, "CRyFormatter");
  result = formatter.Format(0, label, labelLength);
  transport->UnlockVolume(0);
  transport->Close();
  return result;
}

std::uint64_t FormatBench::DataDriveBytes() const {
  return bench->player->GetFlash().DataDrive()->SizeInBytes();
}

}  // namespace test
