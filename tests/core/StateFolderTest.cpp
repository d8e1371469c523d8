#include "core/system/StateFolder.h"

#include <gtest/gtest.h>

TEST(StateFolder, FromTheEnvironment)
{
    const struct
    {
        const char* name;
        const char* xdgStateHome;
        const char* home;
        const char* path;
        const char* unknown;
    } rows[] = {
        {"state home wins", "/srv/state", "/home/ann", "/srv/state/Quillpost", ""},
        {"cleaned", "/srv//state/./x/../", "/home/ann", "/srv/state/Quillpost", ""},
        {"the root as state home", "/", "", "/Quillpost", ""},
        {"home when unset", "", "/home/ann", "/home/ann/.local/state/Quillpost", ""},
        {"home with a slash", "", "/home/ann/", "/home/ann/.local/state/Quillpost", ""},
        {"relative state home ignored", "state", "/home/ann", "/home/ann/.local/state/Quillpost",
            ""},
        {"no home", "", "", "", "HOME is not set"},
        {"relative home", "", "ann", "", "HOME (ann) is not an absolute path"},
        {"relative state home, no home", "state", "", "",
            "XDG_STATE_HOME (state) is not an absolute path, and HOME is not set"},
        {"both relative", "state", "ann", "",
            "XDG_STATE_HOME (state) is not an absolute path, and HOME (ann) is not an absolute "
            "path"},
    };
    for (const auto& row : rows) {
        const CStateFolder folder = StateFolderOf(row.xdgStateHome, row.home, "Quillpost");
        EXPECT_EQ(folder.m_strPath, row.path) << row.name;
        EXPECT_EQ(folder.m_unknown.English(), row.unknown) << row.name;
    }
}
