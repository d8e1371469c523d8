#pragma once

#include "ui/ColumnFit.h"

// The target list's columns as the main window and Preview open them: the Result, what a user
// reads after a run, takes the room its neighbours leave; the address as wide as the longest
// up to a third of the list, the kind and the source of changes as wide as theirs up to a
// fifth each (each cut text is whole in its tooltip).
class CTargetColumnFit : public CColumnFit
{
public:
    // Once the view shows the target list.
    explicit CTargetColumnFit(QTableView* view);
};
