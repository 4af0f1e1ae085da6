#include "player/RyImageFile.h"

#include <new>

#include "core/RyStatus.h"
#include "os/Kernel.h"
#include "os/Storage.h"

namespace {

// Closes the file on every way out.
class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle(handle) {}
  ~FileHandle() {
    if (IsOpen()) os::CloseHandle(handle);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool IsOpen() const { return handle != INVALID_HANDLE_VALUE; }
  HANDLE Get() const { return handle; }

 private:
  HANDLE handle;
};

std::wstring Widen(const std::string& text) {
  std::wstring wide;
  for (const char c : text) wide.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return wide;
}

}  // namespace

std::int32_t ReadImageFile(const std::string& fileName, std::unique_ptr<CRyByteArray>& bytes) {
  const FileHandle file(os::CreateFileW(Widen(fileName).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.IsOpen()) return RyStatus::kFileOpenFailed;
  DWORD sizeHigh = 0;
  const DWORD size = os::GetFileSize(file.Get(), &sizeHigh);
  if (size == INVALID_FILE_SIZE && os::GetLastError() != ERROR_SUCCESS) {
    return RyStatus::kFileOpenFailed;
  }
  // An image is held in one byte array, whose count is 32-bit.
  if (sizeHigh != 0) return RyStatus::kFailed;
  bytes.reset(new (std::nothrow) CRyByteArray(size, "CRyByteArray"));
  if (bytes == nullptr || bytes->GetStatus() != RyStatus::kSuccess) {
    bytes.reset();
    return RyStatus::kFailed;
  }
  if (size == 0) return RyStatus::kSuccess;
  DWORD done = 0;
  // A file that shrank since its size was taken reads short.
  if (os::ReadFile(file.Get(), bytes->GetAtPtr(0), size, &done, nullptr) == FALSE || done != size) {
    bytes.reset();
    return RyStatus::kFileOpenFailed;
  }
  return RyStatus::kSuccess;
}
