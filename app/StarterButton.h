#pragma once

#include <QPushButton>

class CTargetList;
class CTargetLoader;
class QAbstractItemView;

// Add well-known services, over the middle of an empty target list: a start for a user without
// a list of services yet. Not over a list that is still loading.
class CStarterButton : public QPushButton
{
    Q_OBJECT

public:
    // Over view's viewport, and after view in the tab order. It follows the rows of targets
    // and the loads of loader that end; Update after starting one.
    CStarterButton(
        QAbstractItemView* view, const CTargetList& targets, const CTargetLoader& loader);

    // Shows it, or hides it, in the middle of the list.
    void Update();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Centre();

    const CTargetList& m_targets;
    const CTargetLoader& m_loader;
};
