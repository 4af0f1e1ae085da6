#pragma once
// How the I/O manager reads the access mask of a handle: which rights allow
// reading and writing data, which opens take part in share checks, and what
// a control code demands.

#include "os/Win32Types.h"

namespace sim {

// The specific and standard rights the checks look at (winnt.h values).
inline constexpr DWORD kFileReadData = 0x0001;
inline constexpr DWORD kFileWriteData = 0x0002;
inline constexpr DWORD kFileAppendData = 0x0004;
inline constexpr DWORD kFileExecute = 0x0020;
inline constexpr DWORD kDelete = 0x00010000;
inline constexpr DWORD kMaximumAllowed = 0x02000000;
inline constexpr DWORD kGenericAll = 0x10000000;
inline constexpr DWORD kGenericExecute = 0x20000000;

inline bool GrantsReadData(DWORD access) {
  return (access & (GENERIC_READ | kGenericAll | kMaximumAllowed | kFileReadData)) != 0;
}

inline bool GrantsWriteData(DWORD access) {
  return (access &
          (GENERIC_WRITE | kGenericAll | kMaximumAllowed | kFileWriteData | kFileAppendData)) != 0;
}

// Share checks count execute as reading.
inline bool SharesAsReader(DWORD access) {
  return GrantsReadData(access) || (access & (kGenericExecute | kFileExecute)) != 0;
}

inline bool SharesAsDeleter(DWORD access) {
  return (access & (kDelete | kGenericAll | kMaximumAllowed)) != 0;
}

// An open that asks for none of read, write or delete (for instance access
// 0, to send control codes) neither is checked against nor restricts others.
inline bool TakesPartInSharing(DWORD access) {
  return SharesAsReader(access) || GrantsWriteData(access) || SharesAsDeleter(access);
}

// True when a new open (access, share mode) cannot coexist with an existing one.
inline bool SharingConflicts(DWORD newAccess, DWORD newShare, DWORD oldAccess, DWORD oldShare) {
  if (!TakesPartInSharing(newAccess) || !TakesPartInSharing(oldAccess)) return false;
  const auto refuses = [](bool uses, DWORD share, DWORD flag) { return uses && !(share & flag); };
  return refuses(SharesAsReader(newAccess), oldShare, FILE_SHARE_READ) ||
         refuses(GrantsWriteData(newAccess), oldShare, FILE_SHARE_WRITE) ||
         refuses(SharesAsDeleter(newAccess), oldShare, FILE_SHARE_DELETE) ||
         refuses(SharesAsReader(oldAccess), newShare, FILE_SHARE_READ) ||
         refuses(GrantsWriteData(oldAccess), newShare, FILE_SHARE_WRITE) ||
         refuses(SharesAsDeleter(oldAccess), newShare, FILE_SHARE_DELETE);
}

// Bits 14 and 15 of a control code name the access its caller must hold.
inline bool MayControl(DWORD access, DWORD ioControlCode) {
  const DWORD required = (ioControlCode >> 14) & 3;
  if ((required & 1) != 0 && !GrantsReadData(access)) return false;
  if ((required & 2) != 0 && !GrantsWriteData(access)) return false;
  return true;
}

}  // namespace sim
