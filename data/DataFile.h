#pragma once

#include <string>

// The data file's name inside the folder it is kept in (the program's own folder).
std::string DataFilePath(const std::string& folder);
