#include "cli/host/standard_descriptors.h"

#include <cerrno>
#include <fcntl.h>
#include <initializer_list>
#include <unistd.h>

namespace tavex {

bool OpenClosedStandardDescriptors()
{
    for (int descriptor : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(descriptor, F_GETFD) != -1 || errno != EBADF) {
            continue;
        }
        // The lowest free descriptor: this one, as those below it are open.
        if (::open("/dev/null", O_RDWR) != descriptor) {
            return false;
        }
    }
    return true;
}

bool StandardOutputIsTerminal() { return ::isatty(STDOUT_FILENO) != 0; }

} // namespace tavex
