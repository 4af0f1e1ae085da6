// The ASPI layer's adapters, the two synchronous commands and the library's
// entry points.

#include "sim/AspiLayer.h"

#include <algorithm>
#include <cstring>

#include "AspiExecution.h"
#include "sim/Machine.h"

namespace sim {

namespace {

constexpr BYTE kInitiatorId = 7;
constexpr BYTE kTargetsPerAdapter = 8;
constexpr BYTE kResidualSupported = 0x02;

DWORD GetASPI32SupportInfoEntry() { return AspiLayer::Of(Machine::Current()).GetSupportInfo(); }

DWORD SendASPI32CommandEntry(void* srb) {
  return AspiLayer::Of(Machine::Current()).SendCommand(srb);
}

// Fixed-width text fields of the inquiry block are blank-padded.
void CopyPadded(BYTE (&field)[16], const std::string& text) {
  std::memset(field, ' ', sizeof field);
  std::memcpy(field, text.data(), std::min(text.size(), sizeof field));
}

}  // namespace

AspiLayer::AspiLayer(Machine& owner) : machine(owner) {}

AspiLayer::~AspiLayer() = default;

AspiLayer& AspiLayer::Of(Machine& machine) { return machine.GetPart<AspiLayer>(); }

ModuleImage AspiLayer::LibraryImage() {
  ModuleImage image;
  image.fileName = L"WNASPI32.DLL";
  image.exports["GetASPI32SupportInfo"] = ExportOf(&GetASPI32SupportInfoEntry);
  image.exports["SendASPI32Command"] = ExportOf(&SendASPI32CommandEntry);
  return image;
}

void AspiLayer::InstallLibrary() { ModuleTable::Of(machine).Install(LibraryImage()); }

BYTE AspiLayer::AddHostAdapter(const AspiHostAdapter& adapter) {
  std::lock_guard<std::mutex> lock(mutex);
  adapters.push_back(adapter);
  return static_cast<BYTE>(adapters.size() - 1);
}

BYTE AspiLayer::AddHostAdapter(std::shared_ptr<StorageDevice> device, BYTE int13Unit) {
  AspiHostAdapter adapter;
  adapter.device = std::move(device);
  adapter.int13Unit = int13Unit;
  adapter.driveFlags = int13Unit >= 0x80 ? kDiskInt13AndDos : kDiskNotInt13;
  return AddHostAdapter(adapter);
}

std::size_t AspiLayer::HostAdapterCount() const {
  std::lock_guard<std::mutex> lock(mutex);
  return adapters.size();
}

void AspiLayer::SetSupportStatus(std::optional<BYTE> status) {
  std::lock_guard<std::mutex> lock(mutex);
  supportStatus = status;
}

void AspiLayer::SetCompletion(AspiCompletion newCompletion) {
  std::lock_guard<std::mutex> lock(mutex);
  completion = newCompletion;
}

std::vector<AspiRequestRecord> AspiLayer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex);
  return requests;
}

void AspiLayer::ClearRequests() {
  std::lock_guard<std::mutex> lock(mutex);
  requests.clear();
}

void AspiLayer::Record(AspiRequestRecord record) {
  std::lock_guard<std::mutex> lock(mutex);
  requests.push_back(std::move(record));
}

DWORD AspiLayer::GetSupportInfo() const {
  std::lock_guard<std::mutex> lock(mutex);
  const auto count = static_cast<BYTE>(std::min<std::size_t>(adapters.size(), 0xFF));
  const BYTE status = supportStatus ? *supportStatus : count > 0 ? aspi::SS_COMP : kAspiNoAdapters;
  return static_cast<DWORD>(status) << 8 | count;
}

DWORD AspiLayer::SendCommand(void* block) {
  if (block == nullptr) return kAspiInvalidSrb;
  auto* header = static_cast<BYTE*>(block);
  AspiRequestRecord record;
  record.command = header[0];
  record.hostAdapter = header[2];
  record.flags = header[3];
  DWORD result = kAspiInvalidCommand;
  switch (record.command) {
    case aspi::SC_HA_INQUIRY:
      result = InquireHostAdapter(*static_cast<aspi::SRB_HAInquiry*>(block));
      break;
    case aspi::SC_GET_DISK_INFO: {
      auto& srb = *static_cast<aspi::SRB_GetDiskInfo*>(block);
      record.target = srb.SRB_Target;
      record.lun = srb.SRB_Lun;
      result = GetDiskInfo(srb);
      break;
    }
    case aspi::SC_EXEC_SCSI_CMD: {
      const auto& srb = *static_cast<const aspi::SRB_ExecSCSICmd*>(block);
      record.target = srb.SRB_Target;
      record.lun = srb.SRB_Lun;
      record.bufferLength = srb.SRB_BufLen;
      record.senseLength = srb.SRB_SenseLen;
      record.cdb.assign(srb.CDBByte, srb.CDBByte + std::min<std::size_t>(srb.SRB_CDBLen, 16));
      if ((srb.SRB_Flags & aspi::SRB_DIR_OUT) != 0 && srb.SRB_BufPointer != nullptr) {
        record.dataOut.assign(srb.SRB_BufPointer, srb.SRB_BufPointer + srb.SRB_BufLen);
      }
      // The block is the caller's again once the command is started; the
      // record was taken before.
      result = StartScsiCommand(*static_cast<aspi::SRB_ExecSCSICmd*>(block));
      break;
    }
    default:
      header[1] = kAspiInvalidCommand;
      break;
  }
  record.returned = result;
  Record(std::move(record));
  return result;
}

DWORD AspiLayer::InquireHostAdapter(aspi::SRB_HAInquiry& srb) const {
  std::lock_guard<std::mutex> lock(mutex);
  if (srb.SRB_HaId >= adapters.size()) return srb.SRB_Status = aspi::SS_INVALID_HA;
  const AspiHostAdapter& adapter = adapters[srb.SRB_HaId];
  srb.HA_Count = static_cast<BYTE>(std::min<std::size_t>(adapters.size(), 0xFF));
  srb.HA_SCSI_ID = kInitiatorId;
  CopyPadded(srb.HA_ManagerId, "ASPI for WIN32");
  CopyPadded(srb.HA_Identifier, adapter.identifier);
  std::memset(srb.HA_Unique, 0, sizeof srb.HA_Unique);
  srb.HA_Unique[2] = kResidualSupported;
  srb.HA_Unique[3] = kTargetsPerAdapter;
  for (int i = 0; i < 4; ++i) {
    srb.HA_Unique[4 + i] = static_cast<BYTE>(adapter.maximumTransferLength >> (8 * i));
  }
  return srb.SRB_Status = aspi::SS_COMP;
}

DWORD AspiLayer::GetDiskInfo(aspi::SRB_GetDiskInfo& srb) const {
  std::lock_guard<std::mutex> lock(mutex);
  if (srb.SRB_HaId >= adapters.size()) return srb.SRB_Status = aspi::SS_INVALID_HA;
  const AspiHostAdapter& adapter = adapters[srb.SRB_HaId];
  if (srb.SRB_Target != 0 || srb.SRB_Lun != 0 || adapter.device == nullptr ||
      !adapter.device->IsPresent()) {
    return srb.SRB_Status = aspi::SS_NO_DEVICE;
  }
  srb.SRB_DriveFlags = adapter.driveFlags;
  srb.SRB_Int13HDriveInfo = adapter.int13Unit;
  srb.SRB_Heads = adapter.heads;
  srb.SRB_Sectors = adapter.sectors;
  return srb.SRB_Status = aspi::SS_COMP;
}

}  // namespace sim
