#pragma once
// The transport to the player's disk: carries command objects to the device
// and gives raw sector access, volume locking and partition-table access to
// the same disk. CRyScsi_Nt (pass-through) and CRyScsi_9x (ASPI) implement it.

#include <cstdint>
#include <memory>
#include <string>

#include "core/RyBase.h"
#include "core/RyByteArray.h"
#include "device/RyDiskRecords.h"
#include "os/Win32Types.h"

class CRyDeviceOwner;
class CRyScsiCommand;

class CRyScsi : public CRyBase {
 public:
  static constexpr std::uint32_t kInquiryLength = 96;

  CRyScsi(CRyDeviceOwner* owner, const char* name);
  // Closes the handle if one is open.
  ~CRyScsi() override;
  CRyScsi(const CRyScsi&) = delete;
  CRyScsi& operator=(const CRyScsi&) = delete;

  virtual std::int32_t Open() = 0;
  virtual std::int32_t LockVolume(std::int32_t physical) = 0;
  virtual std::int32_t LockForFormat(std::int32_t physical) = 0;
  virtual std::int32_t ReleaseAfterFormat(std::int32_t physical) = 0;
  virtual std::int32_t UnlockVolume(std::int32_t physical) = 0;
  virtual std::int32_t Close() = 0;
  virtual std::int32_t DismountVolume() = 0;
  // Sector I/O by WRITE(10) and READ(10); data holds count × sector size bytes.
  virtual std::int32_t WriteSectors(const CRyByteArray& data, std::uint32_t count,
                                    std::uint32_t firstSector, std::uint32_t sectorSize);
  virtual std::int32_t ReadSectors(CRyByteArray& data, std::uint32_t count,
                                   std::uint32_t firstSector, std::uint32_t sectorSize);
  virtual std::int32_t SetDriveLayout(const DiskGeometry& geometry, std::uint32_t hiddenSectors);
  virtual std::int32_t GetDriveGeometry(DiskGeometry& geometry) = 0;
  virtual std::int32_t GetDriveLayout(DriveLayout& layout);
  virtual std::int32_t FindPhysicalDrive();
  virtual std::int32_t FindPlayerDrive() = 0;
  // The only way a command reaches the device.
  virtual std::int32_t SendCommand(CRyScsiCommand& command);
  // request: the CDB followed by the data-out bytes; answer: as many bytes
  // as the device is to send. dataOut nonzero: data out or no data phase.
  virtual std::int32_t Execute(const CRyByteArray& request, std::int32_t cdbLength,
                               std::int32_t dataOut, CRyByteArray& answer) = 0;

  wchar_t GetDriveLetter() const { return driveLetter; }
  HANDLE GetHandle() const { return handle; }
  // The sense bytes of the most recent check condition, or null.
  const CRyByteArray* GetSenseData() const { return senseData.get(); }

  // The identity test of discovery: product (16 characters from byte 16)
  // and vendor (8 characters from byte 8), case ignored.
  bool MatchInquiry(const std::uint8_t (&inquiry)[kInquiryLength], const std::string& product,
                    const std::string& vendor) const;
  // The vendor media-information query (type 9): is this the player?
  std::int32_t QueryPlayerMediaFlag(int& flag);

 protected:
  // The text of the most recent sense data for the error record.
  std::wstring SenseText() const;
  // Keeps the sense bytes of a check condition, replacing the previous ones.
  void StoreSenseData(const std::uint8_t* bytes, std::uint32_t length);

  // The reporting convention of a failed operation: the transport records
  // itself with the code (and detail text), then is sound again.
  std::int32_t Report(std::int32_t code, std::uint32_t error);
  std::int32_t ReportWithText(std::int32_t code, std::uint32_t error, const std::wstring& text);

  // The configured product and vendor identification discovery looks for.
  void FetchIdentity(std::string& product, std::string& vendor) const;

  // Closes handle if it is neither invalid nor 0.
  void CloseHandleIfOpen();

  wchar_t driveLetter = 0;
  HANDLE handle = INVALID_HANDLE_VALUE;
  std::unique_ptr<CRyByteArray> senseData;
  CRyDeviceOwner* owner;  // not owned

 private:
  std::int32_t Record(std::int32_t code, std::uint32_t error, const std::wstring* text);
};
