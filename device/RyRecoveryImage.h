#pragma once
// What the recovery channel needs of the boot image it streams, and how it
// obtains one. The firmware image object implements the first; the updater
// supplies the second, so the channel does not depend on how images load.

#include <cstdint>

class CRyRecoveryImage {
 public:
  virtual ~CRyRecoveryImage() = default;
  virtual std::uint64_t GetImageLength() const = 0;
  // Fills buffer[0 .. length-1] from the offset; bytes at or beyond the end
  // of the image read as FFh.
  virtual std::int32_t GetImageBytes(std::uint64_t offset, std::uint32_t length,
                                     std::uint8_t* buffer) const = 0;
};

class CRyRecoveryImageFactory {
 public:
  virtual ~CRyRecoveryImageFactory() = default;
  // Creates and loads the image of that component row. Returns -1 when no
  // object could be created (image stays null), else the object's load
  // status; a failed object is still handed over, for its owner to delete.
  virtual std::int32_t CreateRecoveryImage(std::uint8_t componentIndex,
                                           CRyRecoveryImage*& image) = 0;
};
