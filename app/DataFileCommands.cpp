#include "app/DataFileCommands.h"

#include "runs/TargetList.h"
#include "runs/TargetLoader.h"
#include "runs/TargetStore.h"
#include "ui/MessageBox.h"

CDataFileCommands::CDataFileCommands(
    CTargetStore& store, CTargetLoader& loader, CTargetList& targets, QWidget* window)
    : m_store(store)
    , m_loader(loader)
    , m_targets(targets)
    , m_window(window)
{
    connect(&m_loader, &CTargetLoader::Finished, this, &CDataFileCommands::OnLoadFinished);
}

void CDataFileCommands::Load()
{
    m_targets.Clear();
    m_loader.Start();
}

void CDataFileCommands::Save()
{
    // Never half a list; and the store is the loader's until it is done.
    m_loader.Finish();
    const CTargetStore::CSaved saved = m_store.Save(m_targets.Records());
    if (!saved.m_strMessage.isEmpty())
        CMessageBox::Warning(m_window, saved.m_strMessage);
}

void CDataFileCommands::OnLoadFinished(const QString& message)
{
    if (!message.isEmpty())
        CMessageBox::Warning(m_window, message);
    Q_EMIT Loaded();
}
