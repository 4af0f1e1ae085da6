#include "Vwin32File.h"

#include "CaseFold.h"
#include "sim/Vwin32Device.h"

namespace sim {

namespace {

class Vwin32File : public FileObject {
 public:
  Vwin32File(Vwin32Device& device, const OpenRequest& request)
      : FileObject(request), device(device) {}

  DWORD Read(void*, DWORD, DWORD&) override { return ERROR_INVALID_FUNCTION; }
  DWORD Write(const void*, DWORD, DWORD&) override { return ERROR_INVALID_FUNCTION; }
  DWORD QueryEndOfFile(std::uint64_t&) override { return ERROR_INVALID_FUNCTION; }
  DWORD Control(const IoControl& request, DWORD& returned) override {
    return device.DeviceIoControl(request.code, request.in, request.inSize, request.out,
                                  request.outSize, returned);
  }

 private:
  Vwin32Device& device;  // lives as long as the machine
};

}  // namespace

bool IsVwin32Name(const FileName& name) {
  return name.kind == FileName::Kind::kDevice && FoldCase(name.path) == L"VWIN32";
}

DWORD OpenVwin32(Machine& machine, const OpenRequest& request, std::shared_ptr<FileObject>& file) {
  Vwin32Device& device = Vwin32Device::Of(machine);
  if (!device.IsAvailable()) return ERROR_FILE_NOT_FOUND;
  file = std::make_shared<Vwin32File>(device, request);
  return ERROR_SUCCESS;
}

}  // namespace sim
