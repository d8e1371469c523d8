#pragma once

#include "runs/TargetStore.h"

#include <QObject>
#include <QString>

#include <cstddef>
#include <thread>

class CTargetList;

// Loads the target list's file into the list without holding up the thread the list lives on:
// the file is read on a thread of its own, and its rows are appended in slices, one slice an
// event-loop turn, each short enough that a window goes on painting and taking input while a
// long list comes in.
//
// While a load lasts the reader loads through the store: whoever would load or save through
// it, or needs the whole list, calls Finish first, which ends the load at once. The read's outcome
// comes back by a queued call to this object, which the list's owner owns; a loader destroyed
// during a load waits for the read, which cannot be cut short, and its outcome reaches nothing.
class CTargetLoader : public QObject
{
    Q_OBJECT

public:
    CTargetLoader(CTargetStore& store, CTargetList& targets, QObject* parent = nullptr);
    ~CTargetLoader() override;

    // Reads the store's list (CTargetStore::Load) and appends its rows to the list. A load
    // under way is given up first, its rows already appended left in the list.
    void Start();
    // Ends a load under way at once: waits for the read, appends every row still to come and
    // emits Finished before it returns. Does nothing between loads.
    void Finish();
    // Gives a load under way up: waits for its read, appends nothing more and emits nothing.
    void Cancel();
    // From Start until Finished: the read, or some of its rows, are still to come.
    bool IsLoading() const { return m_bLoading; }

    // A slice appends rowsAtOnce rows at a time until it has taken milliseconds (at least one
    // lot a slice), then leaves the event loop its turn.
    void SetSlices(std::size_t rowsAtOnce, int milliseconds);

Q_SIGNALS:
    // Every row of the load is in the list. message: what to tell the user of the load (a
    // file refused, and why), empty when there is nothing to tell.
    void Finished(const QString& message);

private:
    void OnRead(quint64 load);
    // Waits for the reader, which has then written m_read.
    void JoinReader();
    void AppendSlice();
    void AppendRows(std::size_t end);
    void End();

    CTargetStore& m_store;
    CTargetList& m_targets;
    std::size_t m_rowsAtOnce = 1000;
    int m_sliceMs = 10;

    // The load under way; a queued call or slice of an earlier one finds another number here.
    quint64 m_load = 0;
    bool m_bLoading = false;
    std::thread m_reader;
    // Written by the reader; read here only once it has been joined.
    CTargetStore::CLoaded m_read;
    bool m_bRead = false;
    // The first of m_read's records not appended yet.
    std::size_t m_next = 0;
};
