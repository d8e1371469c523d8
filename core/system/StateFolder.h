#pragma once

#include "core/text/Text.h"

#include <string>

// The user's state folder for a program, by the XDG Base Directory rules, from the values of
// XDG_STATE_HOME and HOME (empty when they are not set): appFolder in $XDG_STATE_HOME, or in
// $HOME/.local/state when XDG_STATE_HOME is not set or not an absolute path, which the rules
// say to ignore. No folder is known when neither gives an absolute path.
struct CStateFolder
{
    // Absolute and clean; empty when no folder is known.
    std::string m_strPath;
    // Why none is known, as "HOME is not set".
    CText m_unknown;
};

CStateFolder StateFolderOf(
    const std::string& xdgStateHome, const std::string& home, const std::string& appFolder);

// Makes folder and every missing folder above it, each 0700 whatever the umask, as the XDG
// rules ask of the folders they name. Folders already there, and links among them, are left
// as they are. 0 once folder is a folder, made or found; else why not, as an errno value.
int MakePrivateFolder(const std::string& folder);
