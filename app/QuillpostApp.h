#pragma once

#include "data/DataLocation.h"

#include <QApplication>

// The application object: shows the main window and ends the program when it closes.
class CQuillpostApp : public QApplication
{
public:
    CQuillpostApp(int& argc, char** argv);

    // Runs the main window until it closes; returns the process exit code.
    int InitInstance();

    // Where this copy of the program keeps its list, from where it runs and the user's
    // data folder.
    static CDataLocation DataLocation();
};
