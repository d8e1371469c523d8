#pragma once

// Whether the program was asked for its command line rather than its window, and the hand-over
// to the command-line program. That program links no Qt Widgets or Gui, so a run from a timer
// never maps them; the window's program makes the hand-over first thing in main, before any
// application object.
namespace CommandMode {

// Some argument is one of the program's own options, or an option with two dashes that is
// not one of Qt's (which takes "--style" as "-style"): the command line gives the one its
// run and the other its usage. Anything else (none at all, Qt's own "-style fusion") is for
// the window.
bool Wanted(int argc, char** argv);

// Replaces this process with the command-line program, passing argv on. Returns only when
// no such program could be started, having said why on standard error; the status to end
// with is returned.
int HandOver(char** argv);

} // namespace CommandMode
