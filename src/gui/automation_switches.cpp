#include "gui/automation_switches.h"

#include <string_view>

namespace tavex {

namespace {

// Cuts "-name" or "/name" out of `line`; answers whether it was there.
bool CutSwitch(std::string& line, std::string_view name)
{
    for (std::size_t at = line.find(name); at != std::string::npos; at = line.find(name, at + 1)) {
        if (at > 0 && (line[at - 1] == '-' || line[at - 1] == '/')) {
            line.erase(at - 1, name.size() + 1);
            return true;
        }
    }
    return false;
}

} // namespace

AutomationSwitches ParseAutomationSwitches(const std::string& commandLine)
{
    AutomationSwitches switches;
    switches.rest = commandLine;
    switches.embedding = CutSwitch(switches.rest, "Embedding");
    if (!switches.embedding) {
        switches.automation = CutSwitch(switches.rest, "Automation");
    }
    return switches;
}

} // namespace tavex
