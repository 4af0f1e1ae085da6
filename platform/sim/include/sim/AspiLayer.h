#pragma once
// The ASPI for Win32 layer of a simulated Windows 9x machine: what
// WNASPI32.DLL answers. A test gives it host adapters, each with one disk at
// target 0, LUN 0 (the place a USB mass-storage device takes), and installs
// the library so that LoadLibraryW finds it.

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "os/Aspi.h"
#include "os/Win32Types.h"
#include "sim/ModuleTable.h"
#include "sim/StorageDevice.h"

namespace sim {

class Machine;

// Published ASPI values the program does not name.
inline constexpr BYTE kAspiInvalidCommand = 0x80;  // SS_INVALID_CMD
inline constexpr BYTE kAspiInvalidSrb = 0xE0;      // SS_INVALID_SRB
inline constexpr BYTE kAspiFailedInit = 0xE4;      // SS_FAILED_INIT
inline constexpr BYTE kAspiBufferTooBig = 0xE6;    // SS_BUFFER_TOO_BIG
inline constexpr BYTE kAspiNoAdapters = 0xE8;      // SS_NO_ADAPTERS
inline constexpr BYTE kAspiPosting = 0x01;         // SRB_POSTING: SRB_PostProc is a callback
inline constexpr BYTE kAspiResidualCount = 0x04;   // SRB_ENABLE_RESIDUAL_COUNT
inline constexpr BYTE kHostAdapterOk = 0x00;       // HASTAT_OK
inline constexpr BYTE kHostAdapterSelectionTimeout = 0x11;  // HASTAT_SEL_TO: nobody answered
inline constexpr BYTE kDiskNotInt13 = 0x00;                 // SRB_DriveFlags values
inline constexpr BYTE kDiskInt13AndDos = 0x01;
inline constexpr BYTE kDiskInt13 = 0x02;

struct AspiHostAdapter {
  // The disk at target 0, LUN 0; null for an adapter with nothing on it.
  std::shared_ptr<StorageDevice> device;
  // SC_GET_DISK_INFO: the BIOS drive number (80h or more) of the disk, if
  // it has one, and the flags that say so.
  BYTE int13Unit = 0x00;
  BYTE driveFlags = kDiskNotInt13;
  BYTE heads = 0;
  BYTE sectors = 0;
  std::string identifier = "USB Storage";  // HA_Identifier, up to 16 characters
  // Longer requests fail with SS_BUFFER_TOO_BIG.
  DWORD maximumTransferLength = 0x10000;
};

enum class AspiCompletion {
  kWorkerThread,  // SC_EXEC_SCSI_CMD pends; a simulated thread completes it
  kImmediate,     // SendASPI32Command completes it and returns the final status
  kHeld,          // it pends until CompleteHeldRequests; never, if that is not called
};

// One request block as SendASPI32Command received it.
struct AspiRequestRecord {
  BYTE command = 0;
  BYTE hostAdapter = 0;
  BYTE flags = 0;
  BYTE target = 0;
  BYTE lun = 0;
  DWORD bufferLength = 0;
  BYTE senseLength = 0;
  std::vector<std::uint8_t> cdb;      // SRB_CDBLen bytes
  std::vector<std::uint8_t> dataOut;  // the buffer, for SRB_DIR_OUT
  DWORD returned = 0;                 // what SendASPI32Command returned
};

class AspiLayer {
 public:
  explicit AspiLayer(Machine& machine);
  ~AspiLayer();
  AspiLayer(const AspiLayer&) = delete;
  AspiLayer& operator=(const AspiLayer&) = delete;
  static AspiLayer& Of(Machine& machine);

  // WNASPI32.DLL with both entry points; a test erases one from the image
  // to install a broken library.
  static ModuleImage LibraryImage();
  void InstallLibrary();

  // Returns the new adapter's number. The short form sets the drive flags
  // from the unit: a BIOS drive for 80h or more, none below.
  BYTE AddHostAdapter(const AspiHostAdapter& adapter);
  BYTE AddHostAdapter(std::shared_ptr<StorageDevice> device, BYTE int13Unit);
  std::size_t HostAdapterCount() const;

  // GetASPI32SupportInfo's status: by default SS_COMP with adapters and
  // SS_NO_ADAPTERS without; a value here replaces it (a layer that is not
  // ready).
  void SetSupportStatus(std::optional<BYTE> status);

  void SetCompletion(AspiCompletion completion);
  std::size_t HeldRequestCount() const;
  // Completes the held requests in arrival order, on the calling thread.
  void CompleteHeldRequests();

  std::vector<AspiRequestRecord> Requests() const;
  void ClearRequests();

  // The library's entry points.
  DWORD GetSupportInfo() const;
  DWORD SendCommand(void* srb);

 private:
  struct Execution;

  DWORD InquireHostAdapter(aspi::SRB_HAInquiry& srb) const;
  DWORD GetDiskInfo(aspi::SRB_GetDiskInfo& srb) const;
  DWORD StartScsiCommand(aspi::SRB_ExecSCSICmd& srb);
  // SS_PENDING when the block can be carried out, else the status it fails with.
  BYTE CheckScsiCommand(const aspi::SRB_ExecSCSICmd& srb, std::shared_ptr<StorageDevice>& device,
                        ScsiDirection& direction) const;
  static void Complete(const Execution& execution);
  static DWORD WINAPI CompleteOnWorker(LPVOID execution);
  void Record(AspiRequestRecord record);

  Machine& machine;
  mutable std::mutex mutex;
  std::vector<AspiHostAdapter> adapters;
  std::optional<BYTE> supportStatus;
  AspiCompletion completion = AspiCompletion::kWorkerThread;
  std::vector<Execution> held;
  std::vector<AspiRequestRecord> requests;
};

}  // namespace sim
