// quillpost: starts the window's program, or for the program's own options the command
// line's, in its own place (CommandMode).
#include "cli/CommandMode.h"

int main(int argc, char** argv)
{
    return CommandMode::HandOver(
        CommandMode::Wanted(argc, argv) ? CommandMode::CommandProgram : CommandMode::WindowProgram,
        argv);
}
