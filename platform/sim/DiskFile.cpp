#include "DiskFile.h"

#include "Disk.h"

namespace sim {

DiskFile::DiskFile(std::shared_ptr<Disk> owner, DiskHandleKind handleKind,
                   const OpenRequest& request, unsigned arrival, unsigned mount)
    : FileObject(request),
      connection(arrival),
      generation(mount),
      disk(std::move(owner)),
      kind(handleKind) {}

DWORD DiskFile::Read(void* buffer, DWORD bytes, DWORD& done) {
  return disk->Read(*this, buffer, bytes, done);
}

DWORD DiskFile::Write(const void* buffer, DWORD bytes, DWORD& done) {
  return disk->Write(*this, buffer, bytes, done);
}

DWORD DiskFile::Control(const IoControl& request, DWORD& returned) {
  return disk->Control(*this, request, returned);
}

void DiskFile::OnClose() { disk->Close(*this); }

}  // namespace sim
