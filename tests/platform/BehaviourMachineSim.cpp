#include "BehaviourMachine.h"

#include "os/Kernel.h"
#include "sim/Machine.h"
#include "sim/ModuleTable.h"

namespace {

DWORD WINAPI TickCountEntry() { return os::GetTickCount(); }

}  // namespace

struct BehaviourMachine::State {
  sim::ScopedMachine machine;
};

BehaviourMachine::BehaviourMachine() : state(std::make_unique<State>()) {
  sim::ModuleImage kernel32;
  kernel32.fileName = L"KERNEL32.DLL";
  kernel32.exports["GetTickCount"] = sim::ExportOf(&TickCountEntry);
  sim::ModuleTable::Of(*state->machine).Install(kernel32);
}

BehaviourMachine::~BehaviourMachine() = default;
