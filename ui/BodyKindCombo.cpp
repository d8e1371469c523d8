#include "ui/BodyKindCombo.h"

#include "core/target/BodyKind.h"

#include <QAbstractItemView>

CBodyKindCombo::CBodyKindCombo(QWidget* parent)
    : QComboBox(parent)
{
    //: The list of the ways a target's parameters can be posted: form, XML-RPC, JSON
    view()->setAccessibleName(tr("Body kinds"));
    for (const BodyKind kind : {BodyKind::Form, BodyKind::XmlRpc, BodyKind::Json}) {
        const std::optional<std::string> attribute = BodyAttributeOf(kind);
        addItem(KindName(attribute),
            attribute ? QVariant(QString::fromStdString(*attribute)) : QVariant());
    }
}

void CBodyKindCombo::SetKind(const std::optional<std::string>& kind)
{
    while (count() > KnownKinds)
        removeItem(count() - 1);
    m_given = kind;
    const BodyKind known = BodyKindOf(kind);
    if (known == BodyKind::Unknown)
        addItem(KindName(kind), QString::fromStdString(*kind));
    setCurrentIndex(IndexOf(kind));
}

std::optional<std::string> CBodyKindCombo::Kind() const
{
    // A kind written otherwise than this program writes it ("form") stays as written while
    // it is the one chosen.
    if (currentIndex() == IndexOf(m_given))
        return m_given;
    const QVariant attribute = currentData();
    if (!attribute.isValid())
        return std::nullopt;
    return attribute.toString().toStdString();
}

int CBodyKindCombo::IndexOf(const std::optional<std::string>& kind)
{
    const BodyKind known = BodyKindOf(kind);
    return known == BodyKind::Unknown ? KnownKinds : static_cast<int>(known);
}

QString CBodyKindCombo::KindName(const std::optional<std::string>& kind)
{
    switch (BodyKindOf(kind)) {
    case BodyKind::Form:
        //: A body kind: the parameters posted as an HTML form
        return tr("Form");
    case BodyKind::XmlRpc:
        //: A body kind: the parameters posted as an XML-RPC call
        return tr("XML-RPC");
    case BodyKind::Json:
        //: A body kind: the parameters posted as a JSON object
        return tr("JSON");
    case BodyKind::Unknown:
        break;
    }
    // Quoted, so that an empty one shows too and none passes for a kind this program knows.
    //: A body kind this program does not know, quoted as the data file gives it
    return tr("“%1”").arg(QString::fromStdString(*kind));
}
