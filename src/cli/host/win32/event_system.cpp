#include "cli/host/event_system.h"

namespace tavex {

struct EventSystem::Impl {};

EventSystem::EventSystem(char*) {}

EventSystem::~EventSystem() = default;

} // namespace tavex
