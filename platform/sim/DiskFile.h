#pragma once
// A handle's file object on a disk: the volume of its letter or the whole
// disk. Every call goes to the disk, which knows the state they share.

#include <memory>

#include "FileObject.h"
#include "sim/Machine.h"

namespace sim {

class Disk;

class DiskFile : public FileObject {
 public:
  DiskFile(std::shared_ptr<Disk> disk, DiskHandleKind kind, const OpenRequest& request,
           unsigned connection, unsigned generation);

  DiskHandleKind Kind() const { return kind; }

  DWORD Read(void* buffer, DWORD bytes, DWORD& done) override;
  DWORD Write(const void* buffer, DWORD bytes, DWORD& done) override;
  DWORD Control(const IoControl& request, DWORD& returned) override;
  // Volumes and disks do not answer the end-of-file query that FILE_END
  // needs; their length comes from control codes.
  DWORD QueryEndOfFile(std::uint64_t&) override { return ERROR_INVALID_PARAMETER; }
  void OnClose() override;

  // The arrival of the disk and the mount the handle was opened on; the
  // disk's state mutex guards them.
  unsigned connection;
  unsigned generation;

 private:
  const std::shared_ptr<Disk> disk;
  const DiskHandleKind kind;
};

}  // namespace sim
