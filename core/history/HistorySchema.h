#pragma once

#include "core/history/SqliteDatabase.h"

#include <cstdint>
#include <string>
#include <vector>

// The history file's tables, made step by step from an empty file: step n takes user_version
// n to n + 1. A step, once released, is never changed; a new one is added.
class CHistorySchema
{
public:
    // The user_version the last step leaves.
    static std::int64_t Version();
    // The tables of a file at version, made in db by the steps' SQL alone: what a file of
    // that version must hold.
    static int Make(CSqliteDatabase& db, std::int64_t version);
    // Takes db from step to step + 1, in the caller's transaction.
    static int Step(CSqliteDatabase& db, std::int64_t step);
    // The tables of a database, each as "name(column,column...)", by name: what tells this
    // program's record from another program's file.
    static int TablesOf(CSqliteDatabase& db, std::vector<std::string>& tables);
};
