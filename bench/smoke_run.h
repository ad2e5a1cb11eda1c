#pragma once

#include <string_view>

namespace tavex::bench {

// `--smoke` as the last argument asks a benchmark program for a short run:
// small images, one run each, and a failing exit status when a run went
// wrong. It proves that the program starts and finishes; its figures mean
// nothing. Answers whether it was given, and takes it off the arguments.
inline bool TakeSmokeOption(int& argc, char** argv)
{
    if (argc > 1 && std::string_view(argv[argc - 1]) == "--smoke") {
        --argc;
        return true;
    }
    return false;
}

} // namespace tavex::bench
