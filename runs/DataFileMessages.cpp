#include "runs/DataFileMessages.h"

#include "core/net/Address.h"

#include <QDir>
#include <QFile>
#include <QStringList>

namespace {

QString ToQString(const std::string& text)
{
    return QString::fromStdString(text);
}

// A text short enough for a message box line.
QString Shortened(const QString& text)
{
    constexpr int Shown = 80;
    return text.size() <= Shown ? text : text.left(Shown) + QStringLiteral("...");
}

QString NativePath(const std::string& path)
{
    return QDir::toNativeSeparators(QFile::decodeName(QByteArray::fromStdString(path)));
}

} // namespace

QString CDataFileMessages::Load(const CDataFileOutcome& outcome, const std::string& path,
    const std::string& savePath, bool sayMissing)
{
    if (outcome.m_bOk || (outcome.m_bMissing && !sayMissing))
        return QString();
    //: %2 is why, in the words of the file system or the XML parser
    QString text = tr("The data file %1 was not loaded: %2.")
                       .arg(NativePath(path), ToQString(outcome.m_strReason));
    if (!outcome.m_strBackupPath.empty() && path == savePath)
        text += QLatin1Char(' ')
            + tr("The next save keeps it as %1.").arg(NativePath(outcome.m_strBackupPath));
    return text;
}

QString CDataFileMessages::Save(const CDataFileOutcome& outcome, const std::string& path)
{
    // With no folder known there is no path: the file goes by its name.
    const QString file = NativePath(path.empty() ? DataFilePath(std::string()) : path);
    const QString reason = ToQString(outcome.m_strReason);
    QStringList sentences;
    // Once the new file has taken the old one's place, "left as it was" would be untrue.
    if (outcome.m_bReplaced)
        //: %2 is what went wrong after the file was written, as "its folder could not be synced"
        sentences << tr("The data file %1 was saved, but %2.").arg(file, reason);
    else if (!outcome.m_bOk)
        //: %2 is why, in the words of the file system
        sentences << tr("The data file %1 was not saved: %2. The file was left as it was.")
                         .arg(file, reason);
    else if (!outcome.m_strBackupPath.empty() || outcome.m_alteredCount > 0)
        sentences << tr("The data file %1 was saved.").arg(file);
    if (!outcome.m_strBackupPath.empty())
        sentences << tr("The file it replaced held more than the list, or had been changed by "
                        "another program; it is kept as %1.")
                         .arg(NativePath(outcome.m_strBackupPath));
    if (outcome.m_alteredCount > 0) {
        QStringList urls;
        for (const std::string& url : outcome.m_alteredUrls)
            //: A target's address quoted in a sentence
            urls.append(tr("\"%1\"").arg(Shortened(ToQString(MaskPassword(url)))));
        const std::size_t more = outcome.m_alteredCount - outcome.m_alteredUrls.size();
        QString list = urls.join(QStringLiteral(", "));
        if (more > 0)
            //: %1 is a list of targets' addresses, %2 how many more targets there are
            list = tr("%1 and %2 more").arg(list, QString::number(more));
        sentences << (outcome.m_alteredCount > 1
                ? tr("Characters a data file cannot hold were saved as U+FFFD in the targets %1.")
                : tr("Characters a data file cannot hold were saved as U+FFFD in the target %1."))
                         .arg(list);
    }
    return sentences.join(QLatin1Char(' '));
}
