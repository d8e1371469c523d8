#pragma once

// Which of the program's two programs a command line is for, and the hand-over to it. quillpost
// itself is only this: it links no Qt, so that a run from a timer loads no graphical library,
// nor even Qt, before quillpost-cli takes over; the window's program pays for one more exec.
namespace CommandMode {

constexpr char CommandProgram[] = "quillpost-cli";
constexpr char WindowProgram[] = "quillpost-window";

// Some argument is one of the program's own options, or an option with two dashes that is
// not one of Qt's (which takes "--style" as "-style"): the command line gives the one its
// run and the other its usage. Anything else (none at all, Qt's own "-style fusion") is for
// the window.
bool Wanted(int argc, char** argv);

// Replaces this process with program, passing argv on. Returns only when it could not be
// started, having said why on standard error; the status to end with is returned.
int HandOver(const char* program, char** argv);

} // namespace CommandMode
