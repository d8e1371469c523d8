#pragma once

#include <QApplication>

// The application object: shows the main window and ends the program when it closes.
class CQuillpostApp : public QApplication
{
public:
    CQuillpostApp(int& argc, char** argv);

    // Runs the main window until it closes; returns the process exit code.
    int InitInstance();
};
