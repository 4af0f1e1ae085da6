#pragma once
// Ordinary files on the machine's fixed drives: what a test puts there, a
// current directory for relative names, and the share modes of the handles
// open on each file.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "os/Win32Types.h"

namespace sim {

class FileObject;
struct OpenRequest;
struct StoredFile;

class FileStore {
 public:
  FileStore();
  ~FileStore();

  // Creates or replaces the file; a relative path is taken from the current
  // directory.
  void Put(const std::wstring& path, const std::vector<std::uint8_t>& bytes);
  // false when there is no such file.
  bool Get(const std::wstring& path, std::vector<std::uint8_t>& bytes) const;
  bool Remove(const std::wstring& path);
  // "C:\" unless set; a trailing separator is added when missing.
  void SetCurrentDirectory(const std::wstring& directory);
  std::wstring CurrentDirectory() const;

  // ERROR_FILE_NOT_FOUND when the file does not exist and the disposition
  // does not create it; ERROR_FILE_EXISTS for CREATE_NEW on an existing
  // file; ERROR_SHARING_VIOLATION against the handles already open.
  DWORD Open(const std::wstring& path, const OpenRequest& request,
             std::shared_ptr<FileObject>& file);

 private:
  // Callers hold the mutex.
  std::wstring KeyOf(const std::wstring& path) const;

  mutable std::mutex mutex;
  std::wstring currentDirectory = L"C:\\";
  std::map<std::wstring, std::shared_ptr<StoredFile>> files;
};

}  // namespace sim
