#pragma once

#include "core/target/PostParam.h"
#include "core/target/SubmitHost.h"

#include <memory>
#include <optional>
#include <string>

class CBodyKindCombo;
class CTargetList;
class QCheckBox;
class QLineEdit;

// The fields the target and parameter commands read: a target's address, body kind, sitemap or
// feed and whether its pages are checked, and a parameter's name and value. They take any text the
// list holds, long values too; the validator keeps out only what the user types.
class CTargetFields
{
public:
    CTargetFields(QLineEdit* url, CBodyKindCombo* bodyKind, QLineEdit* changes,
        QCheckBox* checkPages, QLineEdit* paramName, QLineEdit* paramValue);

    std::string Url() const;
    std::optional<std::string> BodyKind() const;
    // An empty Changes from field is none.
    std::optional<std::string> Changes() const;
    // A new target of the fields, without parameters.
    std::shared_ptr<CSubmitHost> Target() const;
    void ShowTarget(const CSubmitHost& record);
    // The row of targets becomes the target of the fields, its parameters kept.
    void WriteTo(CTargetList& targets, int row) const;

    CPostParam Param() const;
    void ShowParam(const CPostParam& param);

private:
    static void SetField(QLineEdit* edit, const std::string& text);
    static std::string FieldText(const QLineEdit* edit);
    // Check pages means something only to a target that announces pages: one with a source
    // of changes, or a JSON one whose urlList is written out.
    void EnableCheckPages();

    QLineEdit* m_url;
    CBodyKindCombo* m_bodyKind;
    QLineEdit* m_changes;
    QCheckBox* m_checkPages;
    QLineEdit* m_paramName;
    QLineEdit* m_paramValue;
};
