#include "runs/ResultText.h"

#include "core/net/Address.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <optional>

namespace {

// A word longer than this is given places to break, so that a tooltip holding one stays
// within the screen.
constexpr qsizetype LongestUnbroken = 40;

// The number of characters in text, a surrogate pair counting once.
qsizetype Characters(const QString& text)
{
    qsizetype count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!text[i].isLowSurrogate() || i == 0 || !text[i - 1].isHighSurrogate())
            ++count;
    }
    return count;
}

// The first count characters of text, never half a surrogate pair.
QString LeftCharacters(const QString& text, qsizetype count)
{
    qsizetype end = 0;
    for (qsizetype kept = 0; kept < count && end < text.size(); ++kept)
        end += text[end].isHighSurrogate() && end + 1 < text.size()
                && text[end + 1].isLowSurrogate()
            ? 2
            : 1;
    return text.left(end);
}

QString MaskedUrl(const std::string& url)
{
    return QString::fromStdString(MaskPassword(url));
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
        return QString::fromStdString(text.English());
    QString source = QCoreApplication::translate("Quillpost", text.Source());
    if (const std::optional<std::uint64_t>& count = text.Count()) {
        // A language with no words of its own for it reads the English, which has its form
        // for one; any other takes the form its rules give for the count.
        if (source == QString::fromUtf8(text.Source()))
            return QString::fromStdString(text.English());
        source = QCoreApplication::translate("Quillpost", text.Source(), nullptr,
            static_cast<int>(std::min<std::uint64_t>(*count, INT_MAX)));
    }
    std::vector<std::string> args;
    args.reserve(text.Args().size());
    for (const CText& arg : text.Args())
        args.push_back(Translated(arg).toStdString());
    return QString::fromStdString(CText::Filled(source.toStdString(), args));
}

QString CResultText::Printable(QString text, bool keepLines)
{
    text.remove(QLatin1Char('\r'));
    for (QChar& ch : text) {
        const char16_t code = ch.unicode();
        const bool kept = keepLines && (ch == QLatin1Char('\n') || ch == QLatin1Char('\t'));
        const bool control = (code < 0x20 && !kept) || (code >= 0x7F && code <= 0x9F);
        const bool bidi = (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069)
            || code == 0x200E || code == 0x200F || code == 0x061C;
        // A byte order mark inside a text shows as nothing, and hides what is around it.
        const bool hidden = code == 0xFEFF;
        if (control || bidi || hidden)
            ch = QLatin1Char(' ');
    }
    return text;
}

QString CResultText::Summary(const CPostResult& result)
{
    QString outcome;
    // The seconds, with whatever the language puts around the outcome: they stay whole when
    // the line is cut.
    QString before;
    QString after;
    if (result.m_outcome == PostOutcome::NotPosted) {
        outcome = tr("%1 · %2").arg(
            Translated(OutcomeName(PostOutcome::NotPosted)), Translated(result.m_reason));
    } else {
        outcome = Translated(result.m_outcome == PostOutcome::WouldPost
                ? OutcomeName(PostOutcome::WouldPost)
                : result.m_reason);
        outcome = QString::fromStdString(StatusLine(result.m_status, outcome.toStdString()));
        if (!result.m_serviceMessage.IsEmpty())
            //: A post's outcome, then what the service said about it
            outcome = tr("%1 · %2").arg(outcome, Translated(result.m_serviceMessage).simplified());
        if (result.m_addresses == 1)
            //: An IndexNow post's outcome, then how many addresses it carried
            outcome = tr("%1 · 1 address").arg(outcome);
        else if (result.m_addresses > 1)
            //: An IndexNow post's outcome, then how many addresses it carried: "200 OK · 3
            //: addresses"
            outcome = tr("%1 · %2 addresses").arg(outcome, Count(result.m_addresses));
        // What the page checks found, beside the addresses the post carried.
        if (result.m_addresses > 0 && !result.m_removed.empty())
            //: After the count of addresses a post carried, how many of them it announces as
            //: removed from the site: "200 OK · 3 addresses, 1 removed"
            outcome = tr("%1, %2 removed").arg(outcome, Count(result.m_removed.size()));
        if (result.m_addresses > 0 && !result.m_leftOut.empty())
            //: After the count of addresses a post carried, how many of the site's the page
            //: checks left out: "200 OK · 3 addresses, 2 left out"
            outcome = tr("%1, %2 left out").arg(outcome, Count(result.m_leftOut.size()));
        if (!result.m_strMovedTo.empty())
            //: A post's outcome, then where its address has moved for good, so the user can
            //: change the list: "200 OK · moved to https://new.example/ping"
            outcome = tr("%1 · moved to %2").arg(outcome, MaskedUrl(result.m_strMovedTo));
        // A target that posted nothing took no time worth a word.
        if (result.IsFinal() && result.m_outcome != PostOutcome::Unchanged
            && result.m_outcome != PostOutcome::Baseline
            && result.m_outcome != PostOutcome::WouldPost) {
            // Split around the outcome, as a translation may put the seconds anywhere.
            const QString mark(QChar(0xFFFF));
            //: A post's outcome, then the seconds it took
            const QString framed = tr("%1 · %2 s").arg(mark, Seconds(result.m_seconds));
            const qsizetype at = framed.indexOf(mark);
            before = at < 0 ? QString() : framed.left(at);
            after = framed.mid(at + 1);
        }
    }
    outcome = Printable(outcome);
    const qsizetype room = SummaryLength - Characters(before) - Characters(after);
    if (Characters(outcome) > room)
        outcome = LeftCharacters(outcome, room - 1) + QChar(0x2026);
    return before + outcome + after;
}

// An answer is shown as the text it is, never as markup.
QString CResultText::Details(const CPostResult& result)
{
    QStringList lines;
    if (!result.m_serviceMessage.IsEmpty())
        lines << Printable(Translated(result.m_serviceMessage), true);
    if (!result.m_strError.empty())
        lines << Printable(QString::fromStdString(result.m_strError), true);
    if (!result.m_strFinalUrl.empty())
        //: The address the post ended at, after any redirects
        lines << tr("Final address: %1").arg(Printable(MaskedUrl(result.m_strFinalUrl)));
    if (!result.m_strExcerpt.empty())
        //: The start of the page the service answered with
        lines
            << tr("Answer:\n%1").arg(Printable(QString::fromStdString(result.m_strExcerpt), true));
    if (!result.m_leftOut.empty()) {
        //: Above the addresses the page checks left out, each with its reason
        lines << tr("Left out:");
        const std::size_t shown = std::min(result.m_leftOut.size(), LeftOutShown);
        for (std::size_t i = 0; i < shown; ++i) {
            const CLeftOutAddress& left = result.m_leftOut[i];
            //: An address the page checks left out, and why: "https://www.example.com/a –
            //: not found"
            lines << tr("%1 – %2").arg(
                Printable(MaskedUrl(left.m_strAddress)), Printable(Translated(left.m_reason)));
        }
        if (shown < result.m_leftOut.size())
            //: After the first addresses left out: how many more there are
            lines << tr("and %1 more").arg(Count(result.m_leftOut.size() - shown));
    }
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

QString CResultText::Logged(const QString& reason)
{
    // The program's reasons that end in a text of their own, which may be one of them too.
    static const char* const Forms[] = {
        QT_TRANSLATE_NOOP("Quillpost", "could not check: %1"),
        QT_TRANSLATE_NOOP("Quillpost", "robots.txt not read: %1"),
        QT_TRANSLATE_NOOP("Quillpost", "moved to %1"),
        QT_TRANSLATE_NOOP("Quillpost", "canonical is %1"),
    };
    for (const char* form : Forms) {
        const QLatin1String prefix(form, static_cast<qsizetype>(qstrlen(form)) - 2);
        if (reason.startsWith(prefix))
            return QCoreApplication::translate("Quillpost", form)
                .arg(Logged(reason.mid(prefix.size())));
    }
    // A text that is not one of the program's comes back as it is.
    return QCoreApplication::translate("Quillpost", reason.toUtf8().constData());
}

QString CResultText::Fate(AddressFate fate)
{
    switch (fate) {
    case AddressFate::Sent:
        //: What became of a page in a post: it carried the page
        return tr("sent");
    case AddressFate::Removed:
        //: What became of a page in a post: it announced the page as gone from the site
        return tr("removed");
    case AddressFate::Baseline:
        //: What became of a page: recorded at a target's first run, which sends nothing
        return tr("baseline");
    case AddressFate::LeftOut:
        //: What became of a page in a run: not announced, for the reason that follows
        return tr("left out");
    }
    return QString();
}
