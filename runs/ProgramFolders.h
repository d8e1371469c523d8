#pragma once

#include "core/text/Text.h"
#include "data/DataLocation.h"

#include <QString>

#include <string>

// Where this copy of the program lives and keeps its list. The window's and the command
// line's programs ask alike, and get the same answers: installed in the helpers' folder, each
// stands for the quillpost it was installed with.
namespace ProgramFolders {

// "Quillpost": the window's name, and that of the user's folders.
QString ApplicationName();

// The folder of the quillpost program: the running program's own, or, for a program in the
// helpers' folder of an installed tree, the folder quillpost was installed into. Needs only
// a QCoreApplication.
QString ProgramFolder();

// Where this copy of the program keeps its list, from where it runs and the user's data
// folder.
CDataLocation DataLocation();

// The history file (the record of what was sent and the post log) in the user's state folder,
// by the XDG rules: $XDG_STATE_HOME/Quillpost/history.sqlite, or
// ~/.local/state/Quillpost/history.sqlite. Empty, with why in unknown, when no state folder is
// known.
std::string HistoryFile(CText& unknown);

} // namespace ProgramFolders
