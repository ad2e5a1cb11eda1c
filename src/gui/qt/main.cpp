// tavexdl: the desktop program.

#include "gui/qt/tavexdl_app.h"

int main(int argc, char** argv)
{
    tavex::CTavexDLApp application;
    return application.Run(argc, argv);
}
