#pragma once

#include <QApplication>

// The application object: shows the main window modally and ends the program with it.
class CQuillpostApp : public QApplication
{
public:
    CQuillpostApp(int& argc, char** argv);

    // Runs the main window until it closes; returns the process exit code.
    int InitInstance();
};
