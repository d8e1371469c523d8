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

    // "Quillpost": the window's name, and that of the user's data folder.
    static QString ApplicationName();
    // Where this copy of the program keeps its list, from where it runs and the user's
    // data folder. Needs only a QCoreApplication.
    static CDataLocation DataLocation();
};
