#include "app/TargetFields.h"

#include "app/FieldValidator.h"
#include "core/target/BodyKind.h"
#include "runs/TargetList.h"
#include "ui/BodyKindCombo.h"

#include <QCheckBox>
#include <QLineEdit>

#include <limits>

CTargetFields::CTargetFields(QLineEdit* url, CBodyKindCombo* bodyKind, QLineEdit* changes,
    QCheckBox* checkPages, QLineEdit* paramName, QLineEdit* paramValue)
    : m_url(url)
    , m_bodyKind(bodyKind)
    , m_changes(changes)
    , m_checkPages(checkPages)
    , m_paramName(paramName)
    , m_paramValue(paramValue)
{
    // The line edit's default limit would cut long values loaded from the data file the first
    // time they pass through a field.
    for (QLineEdit* edit : {m_url, m_changes, m_paramName, m_paramValue}) {
        edit->setMaxLength(std::numeric_limits<int>::max());
        edit->setValidator(new CFieldValidator(edit));
    }
    // A ping service's root, and a placeholder site standing for the user's own.
    SetField(m_url, "http://ping.example/");
    SetField(m_paramName, "furl");
    SetField(m_paramValue, "http://www.mysite.example/");
    QObject::connect(
        m_changes, &QLineEdit::textChanged, m_checkPages, [this] { EnableCheckPages(); });
    QObject::connect(
        m_bodyKind, &QComboBox::currentIndexChanged, m_checkPages, [this] { EnableCheckPages(); });
    EnableCheckPages();
}

std::string CTargetFields::Url() const
{
    return FieldText(m_url);
}

std::optional<std::string> CTargetFields::BodyKind() const
{
    return m_bodyKind->Kind();
}

std::optional<std::string> CTargetFields::Changes() const
{
    std::string changes = FieldText(m_changes);
    if (changes.empty())
        return std::nullopt;
    return changes;
}

std::shared_ptr<CSubmitHost> CTargetFields::Target() const
{
    auto record = std::make_shared<CSubmitHost>();
    record->m_strUrl = Url();
    record->m_strBodyKind = BodyKind();
    record->m_strChanges = Changes();
    record->m_bCheckPages = m_checkPages->isChecked();
    return record;
}

void CTargetFields::ShowTarget(const CSubmitHost& record)
{
    SetField(m_url, record.m_strUrl);
    m_bodyKind->SetKind(record.m_strBodyKind);
    SetField(m_changes, record.m_strChanges.value_or(std::string()));
    m_checkPages->setChecked(record.m_bCheckPages);
}

void CTargetFields::WriteTo(CTargetList& targets, int row) const
{
    targets.SetText(row, Url());
    targets.SetBodyKind(row, BodyKind());
    targets.SetChanges(row, Changes());
    targets.SetCheckPages(row, m_checkPages->isChecked());
}

CPostParam CTargetFields::Param() const
{
    return CPostParam(FieldText(m_paramName), FieldText(m_paramValue));
}

void CTargetFields::ShowParam(const CPostParam& param)
{
    SetField(m_paramName, param.m_strName);
    SetField(m_paramValue, param.m_strValue);
}

void CTargetFields::SetField(QLineEdit* edit, const std::string& text)
{
    // The validator is for what the user types, not for what the list already holds.
    const QValidator* validator = edit->validator();
    edit->setValidator(nullptr);
    edit->setText(QString::fromStdString(text));
    edit->setValidator(validator);
    // Show the start of a long text, not its end.
    edit->setCursorPosition(0);
}

void CTargetFields::EnableCheckPages()
{
    m_checkPages->setEnabled(
        !m_changes->text().isEmpty() || BodyKindOf(BodyKind()) == BodyKind::Json);
}

std::string CTargetFields::FieldText(const QLineEdit* edit)
{
    return edit->text().toStdString();
}
