#pragma once

#include <QComboBox>

#include <optional>
#include <string>

// Chooses a target's body kind: Form, XML-RPC or JSON. A target of a kind this program does
// not know shows it as one more entry, so that an Edit keeps it as it was written.
class CBodyKindCombo : public QComboBox
{
    Q_OBJECT

public:
    explicit CBodyKindCombo(QWidget* parent = nullptr);

    // The data file's "body" attribute: none for a form.
    void SetKind(const std::optional<std::string>& kind);
    std::optional<std::string> Kind() const;

    // "Form", "XML-RPC", "JSON", or an unknown kind as written, in quotes.
    static QString KindName(const std::optional<std::string>& kind);

private:
    static constexpr int KnownKinds = 3;
    // The entry that shows a kind.
    static int IndexOf(const std::optional<std::string>& kind);

    // The kind as last set.
    std::optional<std::string> m_given;
};
