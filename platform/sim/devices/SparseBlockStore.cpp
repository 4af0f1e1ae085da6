#include "sim/SparseBlockStore.h"

#include <algorithm>
#include <cstring>

namespace sim {

namespace {

// Calls visit(page index, offset in the page, length, bytes done before)
// for each page the range touches, in order.
template <typename Visit>
void ForEachPagePart(std::uint64_t offset, std::size_t length, Visit visit) {
  constexpr std::uint32_t kPageSize = SparseBlockStore::kPageSize;
  for (std::size_t done = 0; done < length;) {
    const std::uint64_t position = offset + done;
    const std::size_t from = static_cast<std::size_t>(position % kPageSize);
    const std::size_t part = std::min<std::size_t>(length - done, kPageSize - from);
    visit(position / kPageSize, from, part, done);
    done += part;
  }
}

}  // namespace

SparseBlockStore::SparseBlockStore(std::uint32_t blockSize, std::uint64_t blockCount,
                                   std::uint8_t fill)
    : blockSize(blockSize), blockCount(blockCount), fill(fill) {}

bool SparseBlockStore::Contains(std::uint64_t firstBlock, std::uint64_t count) const {
  return firstBlock <= blockCount && count <= blockCount - firstBlock;
}

void SparseBlockStore::ReadBlocks(std::uint64_t firstBlock, std::uint32_t count,
                                  std::uint8_t* out) const {
  ReadBytes(firstBlock * blockSize, std::size_t{count} * blockSize, out);
}

void SparseBlockStore::WriteBlocks(std::uint64_t firstBlock, std::uint32_t count,
                                   const std::uint8_t* data) {
  WriteBytes(firstBlock * blockSize, std::size_t{count} * blockSize, data);
}

void SparseBlockStore::ReadBytes(std::uint64_t offset, std::size_t length,
                                 std::uint8_t* out) const {
  ForEachPagePart(offset, length,
                  [&](std::uint64_t index, std::size_t from, std::size_t part, std::size_t done) {
                    ReadFromPage(index, from, part, out + done);
                  });
}

void SparseBlockStore::WriteBytes(std::uint64_t offset, std::size_t length,
                                  const std::uint8_t* data) {
  ForEachPagePart(offset, length,
                  [&](std::uint64_t index, std::size_t from, std::size_t part, std::size_t done) {
                    WriteToPage(index, from, part, data + done);
                  });
}

std::vector<std::uint8_t> SparseBlockStore::ReadBytes(std::uint64_t offset,
                                                      std::size_t length) const {
  std::vector<std::uint8_t> bytes(length);
  ReadBytes(offset, length, bytes.data());
  return bytes;
}

void SparseBlockStore::WriteBytes(std::uint64_t offset, const std::vector<std::uint8_t>& data) {
  WriteBytes(offset, data.size(), data.data());
}

void SparseBlockStore::Erase() { pages.clear(); }

std::size_t SparseBlockStore::StoredBytes() const {
  std::size_t bytes = 0;
  for (const auto& page : pages) bytes += std::max<std::size_t>(page.second.bytes.size(), 1);
  return bytes;
}

void SparseBlockStore::ForEachStoredPage(const std::function<void(const PageView&)>& visit) const {
  for (const auto& page : pages) {
    const Page& stored = page.second;
    visit(PageView{page.first, stored.bytes.empty() ? nullptr : stored.bytes.data(),
                   stored.uniformValue});
  }
}

void SparseBlockStore::ReadFromPage(std::uint64_t index, std::size_t from, std::size_t length,
                                    std::uint8_t* out) const {
  const auto page = pages.find(index);
  if (page == pages.end()) {
    std::memset(out, fill, length);
  } else if (page->second.bytes.empty()) {
    std::memset(out, page->second.uniformValue, length);
  } else {
    std::memcpy(out, page->second.bytes.data() + from, length);
  }
}

void SparseBlockStore::WriteToPage(std::uint64_t index, std::size_t from, std::size_t length,
                                   const std::uint8_t* data) {
  auto page = pages.find(index);
  if (page == pages.end()) page = pages.emplace(index, Page{{}, fill}).first;
  Page& stored = page->second;
  if (stored.bytes.empty()) stored.bytes.assign(kPageSize, stored.uniformValue);
  std::memcpy(stored.bytes.data() + from, data, length);
  Compact(page);
}

void SparseBlockStore::Compact(std::map<std::uint64_t, Page>::iterator page) {
  std::vector<std::uint8_t>& bytes = page->second.bytes;
  const std::uint8_t first = bytes.front();
  if (std::any_of(bytes.begin(), bytes.end(), [first](std::uint8_t b) { return b != first; })) {
    return;
  }
  if (first == fill) {
    pages.erase(page);
    return;
  }
  page->second.uniformValue = first;
  bytes.clear();
  bytes.shrink_to_fit();
}

}  // namespace sim
