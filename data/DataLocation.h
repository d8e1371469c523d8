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
    struct CInputs
    {
        QString m_strProgramFolder;
        // The user's data folder for this program; it need not exist yet. Empty when no
        // folder is known; a relative path is taken for none, as it would be a folder of
        // whatever the working folder is.
        QString m_strUserFolder;
        // Where a starting list may be installed, the first found taking precedence.
        QStringList m_shareFolders;
        // The folder the program is installed into. A list is never written there, not even
        // by a user (root) who may write it.
        QString m_strInstallBinFolder;
        // Why m_strUserFolder is empty, as UserFolderOf gives it.
        std::string m_strUserFolderUnknown = {};
    };

    static CDataLocation Resolve(const CInputs& inputs);

    // The user's data folder for a program, by the XDG Base Directory rules, from the
    // values of XDG_DATA_HOME and HOME (empty when they are not set): appFolder in
    // $XDG_DATA_HOME, or in $HOME/.local/share when XDG_DATA_HOME is not set or not an
    // absolute path, which the rules say to ignore. (QStandardPaths takes a relative
    // XDG_DATA_HOME as it is.) No folder is known when neither gives an absolute path.
    struct CUserFolder
    {
        // Absolute and clean; empty when no folder is known.
        QString m_strPath;
        // Why none is known, as "HOME is not set".
        std::string m_strUnknown;
    };
    static CUserFolder UserFolderOf(
        const QString& xdgDataHome, const QString& home, const QString& appFolder);

    // The list lives in folder and nowhere else. Not explicit: a plain folder is a location.
    CDataLocation(QString folder);

    // The folder that holds the list; empty when the user's data folder is not known.
    const QString& Folder() const { return m_strFolder; }
    // What every save writes; empty when no folder is known, as nothing can be saved then.
    std::string SavePath() const;
    // What a load reads: the saved list once there is one, else the first starting list
    // found, else the saved list's path (which is missing; empty with no folder known).
    std::string LoadPath() const;
    // Creates the folder with its parents, each 0700 whatever the umask (a list says which
    // sites the user runs); false, with why in reason, if it is still not
    // there (as "the folder /x/y could not be made: Permission denied") or is not known.
    bool MakeFolder(std::string& reason) const;

private:
    CDataLocation(QString folder, QStringList startingLists, std::string unknown);

    QString m_strFolder;
    QStringList m_startingLists;
    // Why no folder is known, when none is.
    std::string m_strUnknown;
};
