#pragma once

#include "app/BackgroundJob.h"
#include "core/indexnow/KeyCheck.h"
#include "core/net/PostLimits.h"
#include "core/target/PostParam.h"

#include <QDialog>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class CSubmitHost;

namespace Ui {
class CIndexNowKeyDlg;
}

// Run > IndexNow Key...: an IndexNow target's host, key and key file address, with New Key,
// Save Key File... and Check.
//
// The dialog changes the target's parameters only through the window, so that the parameter
// list and the runs learn of it as they do of the parameter buttons. Check fetches the key
// file off the window's thread; closing the dialog stops a check under way.
class CIndexNowKeyDlg : public QDialog
{
    Q_OBJECT

public:
    // Changes one parameter of the target as the window's parameter commands do: the first
    // parameter equal to oldParam becomes newParam, or, with no oldParam, newParam is appended.
    using ParamChange = std::function<void(
        const std::optional<CPostParam>& oldParam, const CPostParam& newParam)>;

    // settings: the limits and certificates a check fetches the key file with.
    CIndexNowKeyDlg(std::shared_ptr<CSubmitHost> target, CPostSettings settings, ParamChange change,
        QWidget* parent = nullptr);
    ~CIndexNowKeyDlg() override;

    // keyLocation with the last segment of its path made fileName; the rest as written.
    static std::string WithFileName(const std::string& keyLocation, const std::string& fileName);

private:
    void OnNewKey();
    void OnSaveKeyFile();
    void OnCheck();
    void OnChecked(const CKeyVerdict& verdict);
    // The fields from the target's parameters as they are now.
    void ShowTarget();
    std::optional<CPostParam> FirstParam(const std::string& name) const;

    std::unique_ptr<Ui::CIndexNowKeyDlg> m_ui;
    const std::shared_ptr<CSubmitHost> m_target;
    const CPostSettings m_settings;
    const ParamChange m_change;
    // The file a check fetches; none while the parameters name none.
    std::optional<CKeyFile> m_keyFile;
    CBackgroundJob m_job;
};
