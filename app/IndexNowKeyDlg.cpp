#include "app/IndexNowKeyDlg.h"

#include "core/net/Address.h"
#include "core/target/SubmitHost.h"
#include "data/FileAccess.h"
#include "runs/IndexNowKey.h"
#include "runs/ResultText.h"
#include "ui/FileDialog.h"
#include "ui/MessageBox.h"

#include "ui_IndexNowKeyDlg.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

#include <utility>

namespace {

constexpr char HostParam[] = "host";
constexpr char KeyParam[] = "key";
constexpr char KeyLocationParam[] = "keyLocation";

// A field shows a long address from its start.
void SetField(QLineEdit* edit, const QString& text)
{
    edit->setText(text);
    edit->setCursorPosition(0);
    edit->setToolTip(text);
}

} // namespace

CIndexNowKeyDlg::CIndexNowKeyDlg(std::shared_ptr<CSubmitHost> target, CPostSettings settings,
    ParamChange change, QWidget* parent)
    : QDialog(parent)
    , m_ui(std::make_unique<Ui::CIndexNowKeyDlg>())
    , m_target(std::move(target))
    , m_settings(std::move(settings))
    , m_change(std::move(change))
{
    m_ui->setupUi(this);
    m_ui->hostEdit->setPlaceholderText(tr("No “host” parameter"));
    m_ui->keyEdit->setPlaceholderText(tr("No “key” parameter: New Key adds one"));
    connect(m_ui->newKeyButton, &QPushButton::clicked, this, &CIndexNowKeyDlg::OnNewKey);
    connect(m_ui->saveKeyFileButton, &QPushButton::clicked, this, &CIndexNowKeyDlg::OnSaveKeyFile);
    connect(m_ui->checkButton, &QPushButton::clicked, this, &CIndexNowKeyDlg::OnCheck);
    connect(m_ui->closeButton, &QPushButton::clicked, this, &QDialog::close);
    ShowTarget();
}

CIndexNowKeyDlg::~CIndexNowKeyDlg() = default;

std::string CIndexNowKeyDlg::WithFileName(
    const std::string& keyLocation, const std::string& fileName)
{
    // The path runs from the end of the authority to the query or the fragment; an address
    // without a scheme is all path.
    const std::size_t scheme = keyLocation.find("://");
    const std::size_t queryOrFragment = keyLocation.find_first_of("?#");
    const bool absolute = scheme != std::string::npos
        && (queryOrFragment == std::string::npos || scheme < queryOrFragment);
    std::size_t pathStart = 0;
    if (absolute)
        pathStart = std::min(keyLocation.find_first_of("/?#", scheme + 3), keyLocation.size());
    const std::size_t pathEnd
        = std::min(keyLocation.find_first_of("?#", pathStart), keyLocation.size());
    const std::string path = keyLocation.substr(pathStart, pathEnd - pathStart);
    const std::size_t slash = path.rfind('/');
    const std::string folder
        = slash == std::string::npos ? (absolute ? "/" : "") : path.substr(0, slash + 1);
    return keyLocation.substr(0, pathStart) + folder + fileName + keyLocation.substr(pathEnd);
}

std::optional<CPostParam> CIndexNowKeyDlg::FirstParam(const std::string& name) const
{
    if (std::optional<std::string> value = m_target->FirstValue(name))
        return CPostParam(name, std::move(*value));
    return std::nullopt;
}

void CIndexNowKeyDlg::ShowTarget()
{
    const std::optional<CPostParam> host = FirstParam(HostParam);
    const std::optional<CPostParam> key = FirstParam(KeyParam);
    const std::optional<CPostParam> location = FirstParam(KeyLocationParam);
    SetField(m_ui->hostEdit, host ? QString::fromStdString(host->m_strValue) : QString());
    SetField(m_ui->keyEdit, key ? QString::fromStdString(key->m_strValue) : QString());

    m_keyFile.reset();
    QString keyFile;
    if (!host) {
        keyFile = tr("None without a “host” parameter");
    } else if (!key) {
        keyFile = tr("None without a “key” parameter");
    } else {
        CKeyFile file;
        CText refusal;
        if (KeyFileOf(host->m_strValue, key->m_strValue,
                location ? std::optional<std::string>(location->m_strValue) : std::nullopt, file,
                refusal)) {
            keyFile = QString::fromStdString(ShownAddress(file.m_strUrl));
            m_keyFile = std::move(file);
        } else {
            keyFile = CResultText::Translated(refusal);
        }
    }
    SetField(m_ui->keyFileEdit, keyFile);
    m_ui->newKeyButton->setEnabled(!m_job.IsBusy());
    m_ui->saveKeyFileButton->setEnabled(key && !key->m_strValue.empty());
    m_ui->checkButton->setEnabled(m_keyFile && !m_job.IsBusy());
}

// The parameters change as the parameter buttons change them: the key and, where there is
// one, the name of the key file, which search engines look for under the key's name.
void CIndexNowKeyDlg::OnNewKey()
{
    if (m_job.IsBusy())
        return;
    const std::string key = NewIndexNowKey();
    m_change(FirstParam(KeyParam), CPostParam(KeyParam, key));
    if (const std::optional<CPostParam> location = FirstParam(KeyLocationParam)) {
        m_change(location,
            CPostParam(KeyLocationParam, WithFileName(location->m_strValue, key + ".txt")));
    }
    // What a check said was of the old key.
    m_ui->verdictLabel->clear();
    m_ui->verdictLabel->setToolTip(QString());
    ShowTarget();
}

// The site is to serve the key and nothing else: no byte-order mark, no line end, which search
// engines may take for part of it. Written as the data file is, so that a save never writes
// into a FIFO or a device, and an old file stays whole if it fails.
void CIndexNowKeyDlg::OnSaveKeyFile()
{
    const std::optional<CPostParam> key = FirstParam(KeyParam);
    if (!key || key->m_strValue.empty())
        return;
    const QString path = CFileDialog::SaveFileName(this, tr("Save Key File"),
        QDir(QDir::homePath())
            .filePath(QString::fromStdString(key->m_strValue) + QStringLiteral(".txt")),
        tr("Text files (*.txt);;All files (*)"));
    if (path.isEmpty())
        return;
    std::string reason;
    if (FileAccess::WriteFileSafely(QFile::encodeName(path).toStdString(), key->m_strValue, reason))
        return;
    CMessageBox::Warning(this,
        tr("The key file was not saved to %1: %2.")
            .arg(QDir::toNativeSeparators(path), QString::fromLocal8Bit(reason.c_str())));
}

void CIndexNowKeyDlg::OnCheck()
{
    if (!m_keyFile || m_job.IsBusy())
        return;
    m_ui->verdictLabel->setText(tr("Checking the key file…"));
    m_ui->verdictLabel->setToolTip(QString());
    m_job.Start(
        [settings = m_settings, file = *m_keyFile](
            const std::atomic<bool>& stop) { return CKeyCheck(settings, &stop).Check(file); },
        [this](CKeyVerdict& verdict) { OnChecked(verdict); });
    ShowTarget();
}

void CIndexNowKeyDlg::OnChecked(const CKeyVerdict& verdict)
{
    const QString file = QString::fromStdString(verdict.m_strKeyFile);
    QString text;
    if (verdict.m_bOk) {
        text = tr("The key file holds the key.");
    } else {
        text = CResultText::Translated(verdict.m_reason);
        // A transfer's failure is said without the file it was a transfer of.
        if (!text.contains(file))
            //: %1 is the key file's address, %2 why it could not be fetched: "Connection refused"
            text = tr("Key file %1: %2").arg(file, text);
    }
    const QString note = CResultText::Translated(verdict.m_note);
    m_ui->verdictLabel->setText(note.isEmpty() ? text : text + QLatin1Char('\n') + note);
    m_ui->verdictLabel->setToolTip(note);
    ShowTarget();
}
