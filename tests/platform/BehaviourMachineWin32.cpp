#include "BehaviourMachine.h"

struct BehaviourMachine::State {};

BehaviourMachine::BehaviourMachine() = default;
BehaviourMachine::~BehaviourMachine() = default;
