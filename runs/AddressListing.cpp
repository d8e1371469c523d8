#include "runs/AddressListing.h"

#include "core/net/Address.h"
#include "runs/ResultText.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <string>

namespace {

QString Line(const std::string& address, const QString& what)
{
    return CResultText::Printable(QString::fromStdString(MaskPassword(address)))
        + QStringLiteral("  ") + CResultText::Printable(what);
}

} // namespace

QStringList CAddressListing::Lines(const CPostResult& result)
{
    QStringList lines;
    // The addresses announced are those of the body itself, as the service would read them.
    const QJsonDocument body
        = QJsonDocument::fromJson(QByteArray::fromStdString(result.m_strRequestBody));
    for (const QJsonValue& value : body.object().value(QStringLiteral("urlList")).toArray()) {
        const std::string address = value.toString().toStdString();
        const bool removed = std::find(result.m_removed.begin(), result.m_removed.end(), address)
            != result.m_removed.end();
        lines << Line(address,
            removed
                //: A dry run's verdict on an address it would send as gone from the site
                ? tr("would announce as removed")
                //: A dry run's verdict on an address it would send as new or changed
                : tr("would announce"));
    }
    for (const CLeftOutAddress& left : result.m_leftOut)
        lines << Line(left.m_strAddress, CResultText::Translated(left.m_reason));
    return lines;
}
