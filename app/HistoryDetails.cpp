#include "app/HistoryDetails.h"

#include "core/text/TimeText.h"
#include "runs/ResultText.h"

#include "ui_HistoryDetails.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSizePolicy>

#include <algorithm>

CHistoryDetails::CHistoryDetails(QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::CHistoryDetails>())
{
    m_ui->setupUi(this);
    // A long URL or source wraps or is cut rather than widening the window; all of it can be
    // selected and copied.
    for (QLabel* value :
        {m_ui->timeValueLabel, m_ui->statusValueLabel, m_ui->targetValueLabel, m_ui->kindValueLabel,
            m_ui->changesValueLabel, m_ui->runValueLabel, m_ui->addressesValueLabel}) {
        value->setTextFormat(Qt::PlainText);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        value->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    connect(m_ui->runButton, &QPushButton::toggled, this,
        [this](bool only) { Q_EMIT RunOnlyToggled(only, m_run); });
}

CHistoryDetails::~CHistoryDetails() = default;

void CHistoryDetails::ShowEntry(const CHistoryModel& model, const CHistoryModel::CEntry* entry)
{
    ShowCarried(QString());
    m_ui->runButton->setEnabled(entry || m_ui->runButton->isChecked());
    if (!entry) {
        for (QLabel* value : {m_ui->timeValueLabel, m_ui->statusValueLabel, m_ui->targetValueLabel,
                 m_ui->kindValueLabel, m_ui->changesValueLabel, m_ui->runValueLabel,
                 m_ui->addressesValueLabel})
            value->clear();
        m_ui->messageText->clear();
        return;
    }
    m_run = entry->m_run;
    m_ui->timeValueLabel->setText(CResultText::Translated(LocalTime(entry->m_time)));
    QString status = entry->m_strOutcome;
    if (const QString line = model.StatusText(*entry); !line.isEmpty())
        status += QStringLiteral(" · ") + line;
    if (entry->m_seconds > 0)
        //: A post's status and how long it took: "Failed · 503 Service Unavailable · 2.01 s"
        status = tr("%1 · %2 s").arg(status, CResultText::Seconds(entry->m_seconds));
    m_ui->statusValueLabel->setText(CResultText::Printable(status));
    m_ui->targetValueLabel->setText(entry->m_strUrl);
    m_ui->kindValueLabel->setText(model.Text(entry->m_body));
    m_ui->changesValueLabel->setText(model.Text(entry->m_changes));
    //: The run a post was made in, and how many posts it made: "Run 42 · posts: 12"
    m_ui->runValueLabel->setText(
        tr("Run %1 · posts: %2")
            .arg(QString::number(entry->m_run), CResultText::Count(model.RunSize(entry->m_run))));
    m_ui->addressesValueLabel->setText(
        CResultText::Count(static_cast<std::size_t>(std::max<qint64>(entry->m_addresses, 0))));
    m_ui->messageText->setPlainText(CResultText::Printable(entry->m_strMessage, true));
}

QString CHistoryDetails::CarriedText(const QList<CCarried>& carried)
{
    QStringList lines;
    lines.reserve(carried.size());
    for (const CCarried& address : carried) {
        lines << (address.m_strFate.isEmpty()
                ? address.m_strAddress
                : address.m_strAddress + QStringLiteral(" · ") + address.m_strFate);
    }
    return lines.join(QLatin1Char('\n'));
}

void CHistoryDetails::ShowCarried(const QString& text)
{
    m_ui->addressesText->setPlainText(text);
    m_ui->addressesText->setVisible(!text.isEmpty());
}

void CHistoryDetails::SetRunOnly(bool only)
{
    const QSignalBlocker quiet(m_ui->runButton);
    m_ui->runButton->setChecked(only);
}
