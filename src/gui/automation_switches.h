#pragma once

#include <string>

namespace tavex {

// The two switches the program reads from its command line. A switch counts
// where its name stands right after a '-' or a '/', anywhere in the line;
// the match is case-sensitive and on the name's beginning only, and a switch
// found is cut out of the line. "Embedding" is looked for first, and
// "Automation" only when it is not there.
struct AutomationSwitches {
    bool embedding = false;
    bool automation = false;
    std::string rest;  // the command line without the switch found

    bool StartedByAutomation() const { return embedding || automation; }
};

AutomationSwitches ParseAutomationSwitches(const std::string& commandLine);

} // namespace tavex
