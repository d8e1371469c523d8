#pragma once

#include <string>
#include <vector>

// Where a program of this one's (the window, the command line, the browser helper) may be,
// first found first: beside the running program (a build tree, a copy of its own), then in the
// helpers' folder of the tree it was installed into. Reads the running program's path from
// the system and needs the standard library alone, so that quillpost, which only starts the
// others, links no more.
std::vector<std::string> HelperCandidates(const std::string& name);
