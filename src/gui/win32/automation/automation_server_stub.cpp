// A stand-in for the automation server that does nothing, so that the
// desktop program builds before the server itself is there. It is replaced
// by the real server when the two branches meet.

#include "gui/win32/automation/automation_server.h"

namespace tavex {

struct AutomationServer::Impl {};

AutomationServer::AutomationServer() = default;
AutomationServer::~AutomationServer() = default;

void AutomationServer::Start(bool) {}

void AutomationServer::SetMainWindow(HWND) {}

} // namespace tavex
