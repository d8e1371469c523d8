#pragma once

#include <QString>
#include <QStringList>

#include <string>

// Where the target list is kept, decided once at start-up.
//
// A copy of the program in a folder the user may write keeps its list beside itself. Any
// other copy (an installed one above all) keeps it in the user's own data folder. There, as
// long as the user has no list of their own yet, a list shipped beside the program or in a
// share folder is read instead; the first save then writes the user's copy. The shipped
// lists are never written.
//
// Paths come out in the system's encoding, as CXmlDocument takes them.
class CDataLocation
{
public:
    // What the rule is decided from; the platform's values in the program, any in tests.
    struct Inputs
    {
        QString programFolder;
        // The user's data folder for this program; it need not exist yet.
        QString userFolder;
        // Where a starting list may be installed, the first found taking precedence.
        QStringList shareFolders;
        // The folder the program is installed into. A list is never written there, not even
        // by a user (root) who may write it.
        QString installBinFolder;
    };

    static CDataLocation Resolve(const Inputs& inputs);

    // The list lives in folder and nowhere else. Not explicit: a plain folder is a location.
    CDataLocation(QString folder);

    // The folder that holds the list.
    const QString& Folder() const { return m_folder; }
    // What every save writes.
    std::string SavePath() const;
    // What a load reads: the saved list once there is one, else the first starting list
    // found, else the saved list's path (which is missing).
    std::string LoadPath() const;
    // Creates the folder with its parents; false if it is still not there.
    bool MakeFolder() const;

private:
    CDataLocation(QString folder, QStringList startingLists);

    QString m_folder;
    QStringList m_startingLists;
};
