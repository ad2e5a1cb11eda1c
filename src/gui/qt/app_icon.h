#pragma once

// The program's icon: a keyboard taking a download, drawn as a vector image so
// that one file serves the caption, the task bar and the About box.

#include <QIcon>

namespace tavex {

QIcon AppIcon();

} // namespace tavex
