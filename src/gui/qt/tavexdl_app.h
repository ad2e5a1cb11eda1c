#pragma once

// The program's start: automation, the start-up reminder when the stored
// setting asks for it, then the main window; the program ends when the
// window closes.

namespace tavex {

class CTavexDLApp {
public:
    // Writes are framed by RTS only on the older Windows family; everywhere
    // else the program runs as on the NT family.
    static constexpr bool ntPlatform = true;

    int Run(int argc, char** argv);
};

} // namespace tavex
