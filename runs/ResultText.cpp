#include "runs/ResultText.h"

#include <QStringList>

namespace {

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A word longer than this is given places to break, so that a tooltip holding one stays
// within the screen.
constexpr qsizetype LongestUnbroken = 40;

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

// The text with a zero-width space in every run of LongestUnbroken characters without one.
QString Breakable(const QString& text)
{
    QString broken;
    qsizetype run = 0;
    for (const QChar ch : text) {
        run = ch.isSpace() ? 0 : run + 1;
        if (run > LongestUnbroken) {
            broken += QChar(0x200B);
            run = 1;
        }
        broken += ch;
    }
    return broken;
}

} // namespace

QString CResultText::Translated(const CText& text)
{
    if (!text.Source())
        return FromUtf8(text.English());
    std::vector<std::string> args;
    args.reserve(text.Args().size());
    for (const CText& arg : text.Args())
        args.push_back(Translated(arg).toStdString());
    return FromUtf8(
        CText::Filled(QCoreApplication::translate("Quillpost", text.Source()).toStdString(), args));
}

QString CResultText::Summary(const CPostResult& result)
{
    QString summary;
    if (result.m_bRefused) {
        //: A target that was not posted, and why
        summary = tr("Not posted · %1").arg(Translated(result.m_reason));
    } else {
        summary = Translated(result.m_reason);
        if (result.m_status != 0)
            summary = summary.isEmpty()
                ? QString::number(result.m_status)
                : QString::number(result.m_status) + QLatin1Char(' ') + summary;
        if (!result.m_serviceMessage.IsEmpty())
            //: A post's outcome, then what the service said about it
            summary = tr("%1 · %2").arg(summary, Translated(result.m_serviceMessage).simplified());
        if (result.m_bFinal)
            //: A post's outcome, then the seconds it took
            summary = tr("%1 · %2 s").arg(summary, Seconds(result.m_seconds));
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
        lines << Printable(Translated(result.m_serviceMessage), true);
    if (!result.m_strError.empty())
        lines << FromUtf8(result.m_strError);
    if (!result.m_strFinalUrl.empty())
        //: The address the post ended at, after any redirects
        lines << tr("Final address: %1").arg(FromUtf8(result.m_strFinalUrl));
    if (!result.m_strExcerpt.empty())
        //: The start of the page the service answered with
        lines << tr("Answer:\n%1").arg(Printable(FromUtf8(result.m_strExcerpt), true));
    if (lines.isEmpty())
        return QString();
    return QStringLiteral("<p style='white-space:pre-wrap'>")
        + Breakable(lines.join(QLatin1Char('\n'))).toHtmlEscaped() + QStringLiteral("</p>");
}

QString CResultText::Count(std::size_t number)
{
    //: Separates groups of three digits in counts: "1,000"
    const QString separator = tr(",", "digit grouping");
    QString digits = QString::number(number);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, separator);
    return digits;
}

QString CResultText::Seconds(double seconds)
{
    //: Separates the whole seconds from their fraction: "0.42 s"
    return QString::number(seconds, 'f', 2).replace(QLatin1Char('.'), tr(".", "decimal point"));
}

QString CResultText::Clock(qint64 milliseconds)
{
    const qint64 seconds = milliseconds / 1000;
    const auto twoDigits
        = [](qint64 number) { return QStringLiteral("%1").arg(number, 2, 10, QLatin1Char('0')); };
    if (seconds < 3600)
        return QString::number(seconds / 60) + QLatin1Char(':') + twoDigits(seconds % 60);
    return QString::number(seconds / 3600) + QLatin1Char(':') + twoDigits(seconds / 60 % 60)
        + QLatin1Char(':') + twoDigits(seconds % 60);
}
