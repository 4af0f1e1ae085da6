#include "sim/FileStore.h"

#include <algorithm>
#include <cstring>

#include "AccessRights.h"
#include "CaseFold.h"
#include "FileObject.h"

namespace sim {

struct StoredFile {
  std::vector<std::uint8_t> bytes;
  // The handles open on the file, for the share checks of the next open.
  std::vector<std::weak_ptr<FileObject>> opens;
};

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// A handle on an ordinary file: reads stop at the end of the file (a read
// there succeeds with 0 bytes), writes extend it.
class OrdinaryFile : public FileObject {
 public:
  OrdinaryFile(const OpenRequest& request, std::shared_ptr<StoredFile> stored)
      : FileObject(request), stored(std::move(stored)) {}

  DWORD Read(void* buffer, DWORD bytes, DWORD& done) override {
    const std::uint64_t size = stored->bytes.size();
    const std::uint64_t available = position < size ? size - position : 0;
    done = static_cast<DWORD>(std::min<std::uint64_t>(bytes, available));
    if (done != 0) std::memcpy(buffer, stored->bytes.data() + position, done);
    position += done;
    return ERROR_SUCCESS;
  }

  DWORD Write(const void* buffer, DWORD bytes, DWORD& done) override {
    const std::uint64_t end = position + bytes;
    if (end > stored->bytes.size()) stored->bytes.resize(static_cast<std::size_t>(end));
    if (bytes != 0) std::memcpy(stored->bytes.data() + position, buffer, bytes);
    position = end;
    done = bytes;
    return ERROR_SUCCESS;
  }

  DWORD Control(const IoControl&, DWORD&) override { return ERROR_INVALID_FUNCTION; }

  DWORD QueryEndOfFile(std::uint64_t& end) override {
    end = stored->bytes.size();
    return ERROR_SUCCESS;
  }

 private:
  std::shared_ptr<StoredFile> stored;
};

bool SharesWithAll(const OpenRequest& request, StoredFile& stored) {
  auto& opens = stored.opens;
  opens.erase(std::remove_if(opens.begin(), opens.end(),
                             [](const std::weak_ptr<FileObject>& open) { return open.expired(); }),
              opens.end());
  return std::all_of(opens.begin(), opens.end(), [&](const std::weak_ptr<FileObject>& open) {
    const std::shared_ptr<FileObject> live = open.lock();
    return live == nullptr ||
           !SharingConflicts(request.access, request.shareMode, live->Access(), live->ShareMode());
  });
}

}  // namespace

FileStore::FileStore() = default;
FileStore::~FileStore() = default;

std::wstring FileStore::KeyOf(const std::wstring& path) const {
  const bool absolute = path.size() >= 2 && path[1] == L':';
  const bool rooted = !path.empty() && IsSeparator(path[0]);
  std::wstring full = absolute ? path
                      : rooted ? currentDirectory.substr(0, 2) + path
                               : currentDirectory + path;
  std::replace(full.begin(), full.end(), L'/', L'\\');
  return FoldCase(full);
}

void FileStore::Put(const std::wstring& path, const std::vector<std::uint8_t>& bytes) {
  std::lock_guard<std::mutex> lock(mutex);
  auto& stored = files[KeyOf(path)];
  if (stored == nullptr) stored = std::make_shared<StoredFile>();
  stored->bytes = bytes;
}

bool FileStore::Get(const std::wstring& path, std::vector<std::uint8_t>& bytes) const {
  std::lock_guard<std::mutex> lock(mutex);
  auto found = files.find(KeyOf(path));
  if (found == files.end()) return false;
  bytes = found->second->bytes;
  return true;
}

bool FileStore::Remove(const std::wstring& path) {
  std::lock_guard<std::mutex> lock(mutex);
  return files.erase(KeyOf(path)) != 0;
}

void FileStore::SetCurrentDirectory(const std::wstring& directory) {
  std::lock_guard<std::mutex> lock(mutex);
  currentDirectory = directory;
  if (currentDirectory.empty() || !IsSeparator(currentDirectory.back())) {
    currentDirectory.push_back(L'\\');
  }
}

std::wstring FileStore::CurrentDirectory() const {
  std::lock_guard<std::mutex> lock(mutex);
  return currentDirectory;
}

DWORD FileStore::Open(const std::wstring& path, const OpenRequest& request,
                      std::shared_ptr<FileObject>& file) {
  std::lock_guard<std::mutex> lock(mutex);
  const std::wstring key = KeyOf(path);
  auto found = files.find(key);
  const DWORD disposition = request.creationDisposition;
  const bool creates =
      disposition == CREATE_NEW || disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS;
  if (found == files.end() && !creates) return ERROR_FILE_NOT_FOUND;
  if (found != files.end() && disposition == CREATE_NEW) return ERROR_FILE_EXISTS;
  std::shared_ptr<StoredFile> stored =
      found != files.end() ? found->second : std::make_shared<StoredFile>();
  if (!SharesWithAll(request, *stored)) return ERROR_SHARING_VIOLATION;
  if (disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING) stored->bytes.clear();
  if (found == files.end()) files.emplace(key, stored);
  file = std::make_shared<OrdinaryFile>(request, stored);
  stored->opens.push_back(file);
  return ERROR_SUCCESS;
}

}  // namespace sim
