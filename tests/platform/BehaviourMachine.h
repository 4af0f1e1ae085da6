#pragma once
// The system the behaviour tests run on. With the simulated backend it is a
// fresh machine that carries what every Windows system has and the tests
// rely on (KERNEL32.DLL with GetTickCount); with the Windows backend it is
// the real system and this object does nothing.

#include <memory>

class BehaviourMachine {
 public:
  BehaviourMachine();
  ~BehaviourMachine();
  BehaviourMachine(const BehaviourMachine&) = delete;
  BehaviourMachine& operator=(const BehaviourMachine&) = delete;

 private:
  struct State;
  std::unique_ptr<State> state;
};
