// Must not compile: message 124 takes two characters, a number and a text.
#include "text/format.h"

std::string WrongArguments()
{
    return tavex::Message<124>(1, 2, 3, "image.s19");
}
