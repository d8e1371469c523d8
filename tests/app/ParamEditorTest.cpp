// The parameter commands on a target, shown in the parameter list or not (the arrow keys moved
// the selection since it was shown). Faults these catch: a change to the shown target made
// behind the list's back (its rows would point into parameters gone), a change to another
// target made through the list (the shown target would change instead), and Change taking
// an Edit for an Add or the other way round.
#include "app/ParamEditor.h"

#include <QIcon>
#include <QTest>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

Q_DECLARE_METATYPE(std::vector<CPostParam>)

namespace {

enum class Command
{
    Add,
    Edit,
    ChangeAdds,
    ChangeEdits,
    Delete,
    DeleteAll
};

// a=1, b=2, a=1: Edit and Delete act on the first match only.
std::shared_ptr<CSubmitHost> Target()
{
    auto host = std::make_shared<CSubmitHost>();
    for (const auto& [name, value] : {std::pair{"a", "1"}, {"b", "2"}, {"a", "1"}})
        host->AddParam(CPostParam(name, value));
    return host;
}

std::vector<CPostParam> ParamsOf(const CSubmitHost& host)
{
    return {host.Params().begin(), host.Params().end()};
}

std::vector<CPostParam> RowsOf(const CParamListModel& list)
{
    std::vector<CPostParam> rows;
    for (int row = 0; row < list.rowCount(); ++row)
        rows.push_back(list.Param(row));
    return rows;
}

} // namespace

class ParamEditorTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void changesTheTargetAndTheRowsShowingIt_data();
    void changesTheTargetAndTheRowsShowingIt();
};

void ParamEditorTest::changesTheTargetAndTheRowsShowingIt_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<std::vector<CPostParam>>("after");

    const CPostParam a("a", "1"), b("b", "2"), c("c", "3");
    QTest::newRow("Add") << int(Command::Add) << std::vector{a, b, a, c};
    QTest::newRow("Edit") << int(Command::Edit) << std::vector{c, b, a};
    QTest::newRow("Change without an old one")
        << int(Command::ChangeAdds) << std::vector{a, b, a, c};
    QTest::newRow("Change of an old one") << int(Command::ChangeEdits) << std::vector{c, b, a};
    QTest::newRow("Delete") << int(Command::Delete) << std::vector{b, a};
    QTest::newRow("Delete All") << int(Command::DeleteAll) << std::vector<CPostParam>();
}

void ParamEditorTest::changesTheTargetAndTheRowsShowingIt()
{
    QFETCH(int, command);
    QFETCH(std::vector<CPostParam>, after);

    for (const bool shown : {true, false}) {
        CParamListModel list{QIcon()};
        const std::shared_ptr<CSubmitHost> target = Target();
        const std::shared_ptr<CSubmitHost> other = Target();
        list.SetRecord(shown ? target : other);
        CParamEditor editor(list);
        const CPostParam a("a", "1"), c("c", "3");
        switch (static_cast<Command>(command)) {
        case Command::Add:
            editor.Add(target, c);
            break;
        case Command::Edit:
            editor.Edit(target, a, c);
            break;
        case Command::ChangeAdds:
            editor.Change(target, std::nullopt, c);
            break;
        case Command::ChangeEdits:
            editor.Change(target, a, c);
            break;
        case Command::Delete:
            editor.Delete(target, a);
            break;
        case Command::DeleteAll:
            editor.DeleteAll(target);
            break;
        }
        QCOMPARE(ParamsOf(*target), after);
        // The list shows what its record holds, and no other record changed.
        QCOMPARE(RowsOf(list), ParamsOf(*list.Record()));
        QCOMPARE(ParamsOf(*other), ParamsOf(*Target()));
    }
}

QTEST_MAIN(ParamEditorTest)
#include "ParamEditorTest.moc"
