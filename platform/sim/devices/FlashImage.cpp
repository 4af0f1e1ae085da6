#include "sim/FlashImage.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <utility>

#include "BigEndian.h"

namespace sim {

namespace {

constexpr char kMagic[8] = {'O', 'M', 'B', 'R', 'A', 'F', 'L', 'S'};
constexpr std::uint8_t kUniformPage = 0;
constexpr std::uint8_t kRawPage = 1;
constexpr std::size_t kRawChunk = std::size_t{1} << 20;

class Writer {
 public:
  explicit Writer(std::ostream& stream) : stream(stream) {}

  void Put(std::uint64_t value, std::size_t width) {
    std::uint8_t bytes[8];
    be::Put(bytes, width, value);
    PutBytes(bytes, width);
  }
  void PutBytes(const void* bytes, std::size_t length) {
    stream.write(static_cast<const char*>(bytes), static_cast<std::streamsize>(length));
  }
  void PutVersion(const FirmwareVersion& version) {
    Put(version.major, 2);
    Put(version.minor, 2);
    Put(version.revision, 2);
  }

 private:
  std::ostream& stream;
};

class Reader {
 public:
  explicit Reader(std::istream& stream) : stream(stream) {}

  template <typename T>
  bool Get(T& value, std::size_t width = sizeof(T)) {
    std::uint8_t bytes[8];
    if (!GetBytes(bytes, width)) return false;
    value = static_cast<T>(be::Get(bytes, width));
    return true;
  }
  bool GetBytes(void* bytes, std::size_t length) {
    stream.read(static_cast<char*>(bytes), static_cast<std::streamsize>(length));
    return static_cast<std::size_t>(stream.gcount()) == length;
  }
  bool GetVersion(FirmwareVersion& version) {
    return Get(version.major) && Get(version.minor) && Get(version.revision);
  }

 private:
  std::istream& stream;
};

// The bytes of a page that lie inside the store.
std::size_t PageLength(const SparseBlockStore& store, std::uint64_t index) {
  const std::uint64_t begin = index * SparseBlockStore::kPageSize;
  return static_cast<std::size_t>(
      std::min<std::uint64_t>(SparseBlockStore::kPageSize, store.SizeInBytes() - begin));
}

void WriteDrive(Writer& writer, const FlashDrive& drive) {
  writer.Put(drive.number, 1);
  writer.Put(drive.type, 1);
  writer.Put(drive.tag, 1);
  writer.Put(drive.SectorSize(), 4);
  writer.Put(drive.content.BlockCount(), 8);
  writer.PutVersion(drive.componentVersion);
  writer.PutVersion(drive.productVersion);
  writer.Put(drive.content.StoredPageCount(), 8);
  drive.content.ForEachStoredPage([&](const SparseBlockStore::PageView& page) {
    writer.Put(page.index, 8);
    if (page.bytes == nullptr) {
      writer.Put(kUniformPage, 1);
      writer.Put(page.uniformValue, 1);
    } else {
      writer.Put(kRawPage, 1);
      writer.PutBytes(page.bytes, PageLength(drive.content, page.index));
    }
  });
}

bool ReadPage(Reader& reader, SparseBlockStore& store) {
  std::uint64_t index = 0;
  std::uint8_t kind = 0;
  if (!reader.Get(index) || !reader.Get(kind)) return false;
  const std::uint64_t pageCount =
      (store.SizeInBytes() + SparseBlockStore::kPageSize - 1) / SparseBlockStore::kPageSize;
  if (index >= pageCount) return false;
  std::vector<std::uint8_t> bytes(PageLength(store, index));
  if (kind == kUniformPage) {
    std::uint8_t value = 0;
    if (!reader.Get(value)) return false;
    std::fill(bytes.begin(), bytes.end(), value);
  } else if (kind != kRawPage || !reader.GetBytes(bytes.data(), bytes.size())) {
    return false;
  }
  store.WriteBytes(index * SparseBlockStore::kPageSize, bytes);
  return true;
}

bool ReadDrive(Reader& reader, std::uint64_t flashSize, std::vector<FlashDrive>& drives) {
  std::uint8_t number = 0, type = 0, tag = 0;
  std::uint32_t sectorSize = 0;
  std::uint64_t sectorCount = 0, pageCount = 0;
  FirmwareVersion component, product;
  if (!reader.Get(number) || !reader.Get(type) || !reader.Get(tag) || !reader.Get(sectorSize) ||
      !reader.Get(sectorCount) || !reader.GetVersion(component) || !reader.GetVersion(product) ||
      !reader.Get(pageCount)) {
    return false;
  }
  if (sectorSize == 0 || sectorCount > flashSize / sectorSize) return false;
  FlashDrive drive{number,    type,
                   tag,       SparseBlockStore(sectorSize, sectorCount, kErasedFlashByte),
                   component, product};
  for (std::uint64_t page = 0; page < pageCount; ++page) {
    if (!ReadPage(reader, drive.content)) return false;
  }
  drives.push_back(std::move(drive));
  return true;
}

bool ReadFlash(Reader& reader, std::uint64_t& flashSize, std::vector<FlashDrive>& drives) {
  char magic[sizeof kMagic];
  std::uint32_t version = 0, pageSize = 0;
  std::uint16_t driveCount = 0;
  if (!reader.GetBytes(magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof magic) != 0 ||
      !reader.Get(version) || version != kFlashImageFormatVersion || !reader.Get(flashSize) ||
      !reader.Get(pageSize) || pageSize != SparseBlockStore::kPageSize || !reader.Get(driveCount) ||
      driveCount > kFlashMaxDrives) {
    return false;
  }
  std::uint64_t allocated = 0;
  for (std::uint16_t i = 0; i < driveCount; ++i) {
    if (!ReadDrive(reader, flashSize, drives)) return false;
    allocated += drives.back().SizeInBytes();
    if (allocated > flashSize) return false;
  }
  return true;
}

}  // namespace

bool SaveFlashImage(const Flash& flash, const std::string& path) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  Writer writer(file);
  writer.PutBytes(kMagic, sizeof kMagic);
  writer.Put(kFlashImageFormatVersion, 4);
  writer.Put(flash.SizeInBytes(), 8);
  writer.Put(SparseBlockStore::kPageSize, 4);
  writer.Put(flash.Drives().size(), 2);
  for (const FlashDrive& drive : flash.Drives()) WriteDrive(writer, drive);
  file.close();
  return !file.fail();
}

bool LoadFlashImage(Flash& flash, const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return false;
  Reader reader(file);
  std::uint64_t flashSize = 0;
  std::vector<FlashDrive> drives;
  if (!ReadFlash(reader, flashSize, drives)) return false;
  flash.Replace(flashSize, std::move(drives));
  return true;
}

bool SaveDataDriveImage(const Flash& flash, const std::string& path) {
  const FlashDrive* drive = flash.DataDrive();
  if (drive == nullptr) return false;
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  const std::uint64_t size = drive->SizeInBytes();
  for (std::uint64_t offset = 0; offset < size && file; offset += kRawChunk) {
    const std::size_t length =
        static_cast<std::size_t>(std::min<std::uint64_t>(kRawChunk, size - offset));
    const std::vector<std::uint8_t> bytes = drive->content.ReadBytes(offset, length);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(length));
  }
  file.close();
  return !file.fail();
}

bool LoadDataDriveImage(Flash& flash, const std::string& path) {
  FlashDrive* drive = flash.DataDrive();
  if (drive == nullptr) return false;
  std::ifstream file(path, std::ios::binary | std::ios::ate);
  if (!file) return false;
  const std::streamoff end = file.tellg();
  if (end < 0) return false;
  const std::uint64_t size = static_cast<std::uint64_t>(end);
  if (size % drive->SectorSize() != 0 || size > drive->SizeInBytes()) return false;
  file.seekg(0);
  SparseBlockStore content(drive->SectorSize(), drive->content.BlockCount(), kErasedFlashByte);
  std::vector<std::uint8_t> bytes(kRawChunk);
  for (std::uint64_t offset = 0; offset < size; offset += kRawChunk) {
    const std::size_t length =
        static_cast<std::size_t>(std::min<std::uint64_t>(kRawChunk, size - offset));
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(length));
    if (static_cast<std::size_t>(file.gcount()) != length) return false;
    content.WriteBytes(offset, length, bytes.data());
  }
  drive->content = std::move(content);
  return true;
}

}  // namespace sim
