#pragma once

#include "core/target/PostParam.h"
#include "core/target/SubmitHost.h"

#include <QAbstractTableModel>
#include <QIcon>

#include <memory>
#include <vector>

class CTargetList;

// The parameter list: the parameters of one target record, a row each in the record's order,
// with the parameter image. It shows the record itself, so it never shows other than what the
// record holds; the parameter commands change the record through it, as the record's own
// operations do (a first match for Edit and Delete), and the rows follow at once.
//
// It shows the record it was last given (the target last shown), which need not be the one
// selected: the arrow keys move the selection without showing anything new. When that target
// goes from the list, its rows stay shown as they were, but the record is let go.
class CParamListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        NameColumn = 0,
        ValueColumn = 1,
        ColumnCount = 2
    };

    explicit CParamListModel(QIcon image, QObject* parent = nullptr);
    ~CParamListModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Shows record's parameters; none for null.
    void SetRecord(std::shared_ptr<CSubmitHost> record);
    const std::shared_ptr<CSubmitHost>& Record() const { return m_record; }
    // The record's target is gone from the list: the rows stay as they are, without it.
    void ReleaseRecord();
    // Lets go of the record when its target goes from targets: a target gone from the list
    // is gone from memory, while its parameters stay shown until another target is.
    void FollowTargets(const CTargetList& targets);
    // The parameter row shows; empty for a row that is not there.
    CPostParam Param(int row) const;

    // The record's own operations, with the rows following.
    void AddParam(CPostParam param);
    bool EditParam(const CPostParam& oldParam, CPostParam newParam);
    bool DeleteParam(const CPostParam& param);
    void DeleteAllParams();

private:
    // The row of the first parameter equal to param, or -1.
    int FirstMatch(const CPostParam& param) const;
    void ReadPositions();

    QIcon m_image;
    std::shared_ptr<CSubmitHost> m_record;
    // Where each row's parameter stands in the record; a record's list keeps them valid
    // while other parameters come and go.
    std::vector<CSubmitHost::ParamPosition> m_rows;
    // The rows of a record let go.
    std::vector<CPostParam> m_released;
};
