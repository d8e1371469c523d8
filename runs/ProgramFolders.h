#pragma once

#include "core/Text.h"
#include "data/DataLocation.h"

#include <QString>

#include <string>
#include <vector>

// Where this copy of the program lives and keeps its list. The window and the command-line
// program ask alike, and get the same answers: the command-line program, installed in the
// helpers' folder, stands for the quillpost it was installed with.
namespace ProgramFolders {

// "Quillpost": the window's name, and that of the user's folders.
QString ApplicationName();

// The folder of the quillpost program: the running program's own, or, for a program in the
// helpers' folder of an installed tree, the folder quillpost was installed into. Needs only
// a QCoreApplication.
QString ProgramFolder();

// Where a helper program of this one may be, first found first: beside the running program
// (a build tree, a copy of its own), then in the helpers' folder of the tree it was
// installed into. Reads the running program's path from the system, so it serves before any
// application object exists.
std::vector<std::string> HelperCandidates(const std::string& name);

// Where this copy of the program keeps its list, from where it runs and the user's data
// folder.
CDataLocation DataLocation();

// The history file (the record of what was sent and the post log) in the user's state folder,
// by the XDG rules: $XDG_STATE_HOME/Quillpost/history.sqlite, or
// ~/.local/state/Quillpost/history.sqlite. Empty, with why in unknown, when no state folder is
// known.
std::string HistoryFile(CText& unknown);

} // namespace ProgramFolders
