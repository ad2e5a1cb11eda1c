#pragma once

#include <QString>

namespace tavex {

// The device behind a COM number. On Linux the environment variable
// TAVEXDL_COM<n> names it, else the user's setting Ports/COM<n>, else it is
// /dev/ttyS<n-1>; on Windows it is COM<n>.
QString ComDeviceName(int comNumber);

} // namespace tavex
