// Simulated backend of vwin32::AddressOf. A DOS call takes its parameter
// block's address in a 32-bit register: where pointers are 32 bits wide
// that is the pointer itself; a 64-bit build gets a token instead, which the
// simulated vwin32 device turns back into the pointer.

#include <cstdint>
#include <map>
#include <mutex>

#include "os/Vwin32.h"
#include "sim/Vwin32Device.h"

namespace {

constexpr bool kPointersFitRegisters = sizeof(void*) <= sizeof(DWORD);

// Tokens are handed out once per address and never reused, so a block
// placed at the same address again gets the same token.
class AddressBook {
 public:
  DWORD TokenOf(void* block) {
    std::lock_guard<std::mutex> lock(mutex);
    auto found = tokens.find(block);
    if (found != tokens.end()) return found->second;
    const DWORD token = nextToken;
    nextToken += kTokenSpacing;
    tokens.emplace(block, token);
    blocks.emplace(token, block);
    return token;
  }

  void* BlockOf(DWORD token) {
    std::lock_guard<std::mutex> lock(mutex);
    auto found = blocks.find(token);
    return found == blocks.end() ? nullptr : found->second;
  }

 private:
  static constexpr DWORD kTokenSpacing = 0x10;
  std::mutex mutex;
  std::map<void*, DWORD> tokens;
  std::map<DWORD, void*> blocks;
  DWORD nextToken = 0x00A00000;
};

AddressBook& Book() {
  static AddressBook book;
  return book;
}

}  // namespace

namespace vwin32 {

DWORD AddressOf(void* parameterBlock) {
  if (parameterBlock == nullptr) return 0;
  if (kPointersFitRegisters) {
    return static_cast<DWORD>(reinterpret_cast<std::uintptr_t>(parameterBlock));
  }
  return Book().TokenOf(parameterBlock);
}

}  // namespace vwin32

namespace sim {

void* ResolveVwin32Address(DWORD address) {
  if (address == 0) return nullptr;
  if (kPointersFitRegisters) return reinterpret_cast<void*>(static_cast<std::uintptr_t>(address));
  return Book().BlockOf(address);
}

}  // namespace sim
