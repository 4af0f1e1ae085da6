#pragma once
// One firmware component image: its file from the component table, the two
// versions its header declares, and the image bytes after the marker,
// decoded when the configuration says so. The bytes are what a system drive
// writes into the player and what the recovery channel pushes.

#include <cstdint>
#include <memory>

#include "core/RyBase.h"
#include "core/RyByteArray.h"
#include "core/RyVersionInfo.h"
#include "device/RyRecoveryImage.h"
#include "player/RyImageHeader.h"

class CRyDeviceOwner;

// The recovery channel streams it through CRyRecoveryImage.
class CRyFwComponent : public CRyBase, public CRyRecoveryImage {
 public:
  // Loads the image at once; the status is that of LoadImage. The object
  // records itself in the owner's error record whatever the outcome.
  CRyFwComponent(CRyDeviceOwner* updater, std::uint8_t componentNumber, const char* name);

  // The header state stays that of the lines seen before the scan ended.
  std::int32_t ScanHeader();
  // -11 the file cannot be opened, -12 a version line but no marker, -1 no memory.
  std::int32_t LoadImage();

  std::uint64_t GetImageLength() const override;
  // out[0 .. length-1]: image bytes from offset while they last, FFh beyond
  // them. An offset past the end fills the whole of out with FFh. Never
  // writes past the end of out.
  std::int32_t GetImageBytes(std::uint64_t offset, std::uint32_t length, CRyByteArray& out) const;
  // The same into a buffer of at least length bytes; -1 without memory.
  std::int32_t GetImageBytes(std::uint64_t offset, std::uint32_t length,
                             std::uint8_t* buffer) const override;

  void GetProductVersion(CRyVersionInfo& out) const { out = header.productVersion; }
  void GetComponentVersion(CRyVersionInfo& out) const { out = header.componentVersion; }
  std::int32_t GetHeaderState() const { return header.state; }
  std::uint8_t GetComponentNumber() const { return componentNumber; }

  static constexpr std::uint8_t kImageMarker[5] = {0x1A, 'R', 'D', 'M', 'X'};

 private:
  std::int32_t ReadFile(std::unique_ptr<CRyByteArray>& bytes) const;
  int IsEncoded() const;

  CRyDeviceOwner* updater;
  std::uint8_t componentNumber;
  std::unique_ptr<CRyByteArray> image;
  ImageHeader header;
};
