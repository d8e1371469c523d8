#pragma once

// The command line's commands, a line each: the option that names one, and its class. quillpost,
// which links no Qt, reads the options alone to know which command lines are quillpost-cli's
// (CommandMode); quillpost-cli makes the classes (CommandLine). A new command is its class and
// its line here.
#define QUILLPOST_COMMANDS(COMMAND)                                                                \
    COMMAND("submit-all", CSubmitCommand)                                                          \
    COMMAND("check-keys", CCheckKeysCommand)                                                       \
    COMMAND("history", CHistoryCommand)                                                            \
    COMMAND("discover", CDiscoverCommand)                                                          \
    COMMAND("add-site", CAddSiteCommand)
