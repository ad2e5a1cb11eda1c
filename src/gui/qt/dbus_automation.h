#pragma once

// The program as an automation server. On Linux the automation object is a
// D-Bus object without methods or properties, under the bus name
// "TavexDL.Application" on the session bus; what a client gains is a
// running instance it can hold.

#include <QObject>
#include <QString>

namespace tavex {

inline constexpr const char* kProgId = "TavexDL.Application";
// Fixed for good: clients and registrations refer to them.
inline constexpr const char* kAutomationClassId = "{5B3C2A71-9E4D-4F0B-8C21-6D7A3E9B1F42}";
inline constexpr const char* kAutomationInterfaceId = "{A0D47F3E-2C8B-4E61-9F15-3B7C6E2D8A90}";
inline constexpr const char* kAutomationObjectPath = "/TavexDL/Application";

// Started by automation: claims the bus name and puts up the object. Without
// a session bus it does nothing. Answers whether the name was claimed.
bool RegisterAutomationObject(QObject* owner);

// A plain start: writes the activation entry through which the bus starts
// the program for a client (the program's path with "-Automation"), in
// $XDG_DATA_HOME/dbus-1/services. Failures are not reported.
void RefreshAutomationRegistration(const QString& programPath);

} // namespace tavex
