#pragma once
// Overlapped writes with completion routines (WriteFileEx): what a file
// object is handed, and how it completes one. The routine never runs at
// completion: it is queued to the issuing thread and runs only when that
// thread waits alertably, as on Windows.

#include <cstdint>
#include <thread>

#include "os/Win32Types.h"

namespace sim {

class Machine;

struct OverlappedWrite {
  std::thread::id thread;  // the thread that issued the write
  const std::uint8_t* data = nullptr;
  DWORD bytes = 0;
  LPOVERLAPPED overlapped = nullptr;
  LPOVERLAPPED_COMPLETION_ROUTINE routine = nullptr;
};

// Fills the record's status fields and queues the routine to the thread.
void CompleteOverlapped(Machine& machine, const OverlappedWrite& write, DWORD error, DWORD bytes);

}  // namespace sim
