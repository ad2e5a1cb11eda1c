#pragma once

namespace tavex {

// `download FILE (--device PATH | --com N) [--json] [--trace]`. Answers the
// exit code: 0 a silent end, 1 an end with a message, 2 a usage error, 130 an
// interrupted download that ended without a message.
int RunDownloadCommand(int argc, char** argv);

} // namespace tavex
