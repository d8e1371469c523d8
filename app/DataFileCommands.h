#pragma once

#include <QObject>

class CTargetList;
class CTargetLoader;
class CTargetStore;
class QWidget;

// Load Data and Save Data: the list's file read into the list and the list written to it,
// telling the user what they are to know of either (a file refused and kept aside, a save
// that failed or changed a text).
class CDataFileCommands : public QObject
{
    Q_OBJECT

public:
    // window: where the messages show.
    CDataFileCommands(
        CTargetStore& store, CTargetLoader& loader, CTargetList& targets, QWidget* window);

    // Starts reading the file into the list, in place of what it holds.
    void Load();
    // Writes the whole list: a load under way is completed first.
    void Save();

Q_SIGNALS:
    // Every row of a load is in the list, and what there was to say of it said.
    void Loaded();

private:
    void OnLoadFinished(const QString& message);

    CTargetStore& m_store;
    CTargetLoader& m_loader;
    CTargetList& m_targets;
    QWidget* m_window;
};
