#include "app/ResultText.h"

#include <QStringList>

namespace {

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QString CResultText::Translated(const CText& text)
{
    if (!text.Source())
        return text.Args().empty() ? QString() : FromUtf8(text.Args().front());
    // In one pass, as a value may hold "%2" itself.
    const QString source = QCoreApplication::translate("Quillpost", text.Source());
    QString translated;
    for (qsizetype i = 0; i < source.size(); ++i) {
        const auto place = i + 1 < source.size() ? source[i + 1].digitValue() : -1;
        if (source[i] == QLatin1Char('%') && place >= 1
            && static_cast<std::size_t>(place) <= text.Args().size()) {
            translated += FromUtf8(text.Args()[static_cast<std::size_t>(place) - 1]);
            ++i;
        } else {
            translated += source[i];
        }
    }
    return translated;
}

QString CResultText::Summary(const CPostResult& result)
{
    QString summary = Translated(result.m_reason);
    if (result.m_status != 0)
        summary = summary.isEmpty() ? QString::number(result.m_status)
                                    : QString::number(result.m_status) + QLatin1Char(' ') + summary;
    return tr("%1 · %2 s").arg(summary, QString::number(result.m_seconds, 'f', 2));
}

// An answer is shown as the text it is, never as markup.
QString CResultText::Details(const CPostResult& result)
{
    QStringList lines;
    if (!result.m_strError.empty())
        lines << FromUtf8(result.m_strError).toHtmlEscaped();
    if (!result.m_strFinalUrl.empty())
        lines << tr("Final address: %1").arg(FromUtf8(result.m_strFinalUrl).toHtmlEscaped());
    if (!result.m_strExcerpt.empty()) {
        QString answer = FromUtf8(result.m_strExcerpt);
        answer.remove(QLatin1Char('\r'));
        for (QChar& ch : answer) {
            if ((ch.unicode() < 0x20 && ch != QLatin1Char('\n') && ch != QLatin1Char('\t'))
                || ch.unicode() == 0x7F)
                ch = QLatin1Char(' ');
        }
        lines << tr("Answer:\n%1").arg(answer.toHtmlEscaped());
    }
    if (lines.isEmpty())
        return QString();
    return QStringLiteral("<p style='white-space:pre-wrap'>") + lines.join(QLatin1Char('\n'))
        + QStringLiteral("</p>");
}
