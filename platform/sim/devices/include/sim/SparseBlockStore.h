#pragma once
// The content of a medium or a logical drive, kept sparse: only pages that
// were written take memory, and a page whose bytes are all one value keeps
// only that value. Unwritten bytes read as the fill byte, so a 4 GiB medium
// costs nothing until it is written.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

namespace sim {

class SparseBlockStore {
 public:
  static constexpr std::uint32_t kPageSize = 4096;

  SparseBlockStore(std::uint32_t blockSize, std::uint64_t blockCount, std::uint8_t fill);

  std::uint32_t BlockSize() const { return blockSize; }
  std::uint64_t BlockCount() const { return blockCount; }
  std::uint64_t SizeInBytes() const { return std::uint64_t{blockSize} * blockCount; }
  std::uint8_t Fill() const { return fill; }

  // True when blocks first .. first + count - 1 all exist.
  bool Contains(std::uint64_t firstBlock, std::uint64_t count) const;

  // Whole blocks; the range must lie inside the store (Contains).
  void ReadBlocks(std::uint64_t firstBlock, std::uint32_t count, std::uint8_t* out) const;
  void WriteBlocks(std::uint64_t firstBlock, std::uint32_t count, const std::uint8_t* data);

  // Any byte range inside the store.
  void ReadBytes(std::uint64_t offset, std::size_t length, std::uint8_t* out) const;
  void WriteBytes(std::uint64_t offset, std::size_t length, const std::uint8_t* data);
  std::vector<std::uint8_t> ReadBytes(std::uint64_t offset, std::size_t length) const;
  void WriteBytes(std::uint64_t offset, const std::vector<std::uint8_t>& data);

  // Every byte reads as the fill byte again.
  void Erase();

  // Pages that take memory, and the bytes they take.
  std::size_t StoredPageCount() const { return pages.size(); }
  std::size_t StoredBytes() const;

  // A stored page: either kPageSize bytes or one value for all of them.
  struct PageView {
    std::uint64_t index;        // the page covers bytes index * kPageSize on
    const std::uint8_t* bytes;  // null for a page of one value
    std::uint8_t uniformValue;
  };
  // In page order.
  void ForEachStoredPage(const std::function<void(const PageView&)>& visit) const;

 private:
  struct Page {
    std::vector<std::uint8_t> bytes;  // empty: every byte is uniformValue
    std::uint8_t uniformValue = 0;
  };

  void ReadFromPage(std::uint64_t index, std::size_t from, std::size_t length,
                    std::uint8_t* out) const;
  void WriteToPage(std::uint64_t index, std::size_t from, std::size_t length,
                   const std::uint8_t* data);
  // Drops a page of fill bytes, shrinks a page of one value.
  void Compact(std::map<std::uint64_t, Page>::iterator page);

  std::uint32_t blockSize;
  std::uint64_t blockCount;
  std::uint8_t fill;
  std::map<std::uint64_t, Page> pages;
};

}  // namespace sim
