#include "app/ResultText.h"

#include <QStringList>

namespace {

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Control characters of a server's words as blanks; keepLines spares line feeds and tabs.
QString Printable(QString text, bool keepLines)
{
    text.remove(QLatin1Char('\r'));
    for (QChar& ch : text) {
        const bool kept = keepLines && (ch == QLatin1Char('\n') || ch == QLatin1Char('\t'));
        if ((ch.unicode() < 0x20 && !kept) || ch.unicode() == 0x7F)
            ch = QLatin1Char(' ');
    }
    return text;
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
    QString summary;
    if (result.m_bRefused) {
        summary = tr("Not posted · %1").arg(Translated(result.m_reason));
    } else {
        summary = Translated(result.m_reason);
        if (result.m_status != 0)
            summary = summary.isEmpty()
                ? QString::number(result.m_status)
                : QString::number(result.m_status) + QLatin1Char(' ') + summary;
        if (!result.m_serviceMessage.IsEmpty())
            summary = tr("%1 · %2").arg(summary, Translated(result.m_serviceMessage).simplified());
        if (result.m_bFinal)
            summary = tr("%1 · %2 s").arg(summary, QString::number(result.m_seconds, 'f', 2));
    }
    summary = Printable(summary, false);
    if (summary.size() > SummaryLength)
        summary = summary.left(SummaryLength - 1) + QChar(0x2026);
    return summary;
}

// An answer is shown as the text it is, never as markup.
QString CResultText::Details(const CPostResult& result)
{
    QStringList lines;
    if (!result.m_serviceMessage.IsEmpty())
        lines << Printable(Translated(result.m_serviceMessage), true).toHtmlEscaped();
    if (!result.m_strError.empty())
        lines << FromUtf8(result.m_strError).toHtmlEscaped();
    if (!result.m_strFinalUrl.empty())
        lines << tr("Final address: %1").arg(FromUtf8(result.m_strFinalUrl).toHtmlEscaped());
    if (!result.m_strExcerpt.empty())
        lines << tr("Answer:\n%1")
                     .arg(Printable(FromUtf8(result.m_strExcerpt), true).toHtmlEscaped());
    if (lines.isEmpty())
        return QString();
    return QStringLiteral("<p style='white-space:pre-wrap'>") + lines.join(QLatin1Char('\n'))
        + QStringLiteral("</p>");
}
