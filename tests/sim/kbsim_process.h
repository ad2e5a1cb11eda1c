#pragma once

#include "support/child_process.h"

namespace tavex::test {

// tavexdl-kbsim as a child process.
class KbsimProcess : public ChildProcess {
public:
    explicit KbsimProcess(const std::vector<std::string>& arguments) : ChildProcess(TAVEXDL_KBSIM, arguments) {}
};

} // namespace tavex::test
