#include "ui/BodyKindCombo.h"

#include "core/BodyKind.h"

#include <QAbstractItemView>

CBodyKindCombo::CBodyKindCombo(QWidget* parent)
    : QComboBox(parent)
{
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
    const BodyKind known = BodyKindOf(kind);
    if (known == BodyKind::Unknown)
        addItem(KindName(kind), QString::fromStdString(*kind));
    setCurrentIndex(known == BodyKind::Unknown ? KnownKinds : static_cast<int>(known));
}

std::optional<std::string> CBodyKindCombo::Kind() const
{
    const QVariant attribute = currentData();
    if (!attribute.isValid())
        return std::nullopt;
    return attribute.toString().toStdString();
}

QString CBodyKindCombo::KindName(const std::optional<std::string>& kind)
{
    switch (BodyKindOf(kind)) {
    case BodyKind::Form:
        return tr("Form");
    case BodyKind::XmlRpc:
        return tr("XML-RPC");
    case BodyKind::Json:
        return tr("JSON");
    case BodyKind::Unknown:
        break;
    }
    // Quoted, so that an empty one shows too and none passes for a kind this program knows.
    return QStringLiteral("“%1”").arg(QString::fromStdString(*kind));
}
