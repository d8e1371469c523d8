// The program in the user's language, loaded as the program loads it at start-up: German
// where the user reads German, and otherwise the English it is written in, byte for byte.
#include "app/QuillpostDlg.h"
#include "app/TargetListModel.h"
#include "runs/ResultText.h"
#include "runs/Translations.h"
#include "ui/AboutDlg.h"
#include "ui/MessageBox.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

// What a user reads: the menus, some buttons, list headings, a kind and a label, the status
// line after a Submit All, a warning and a result that carry texts of the core, a count, a
// text of the core in its forms for one and for more, the About box and a standard button of
// Qt's.
QStringList Texts()
{
    QTemporaryDir dir;
    CQuillpostDlg dlg(dir.path());
    QSignalSpy loaded(&dlg, &CQuillpostDlg::LoadFinished);
    loaded.wait();
    QStringList texts;
    for (const QAction* title : dlg.findChild<QMenuBar*>("menuBar")->actions()) {
        QStringList items;
        for (const QAction* item : title->menu()->actions())
            items << item->text();
        texts << title->text() + ": " + items.join(" | ");
    }
    for (const char* name : {"addParamButton", "stopButton", "addStarterServicesButton"}) {
        const auto* button = dlg.findChild<QPushButton*>(name);
        texts << button->text() + " (" + button->accessibleName() + ")";
    }
    auto* targets = dlg.findChild<QTableView*>("targetList");
    texts << targets->model()->headerData(2, Qt::Horizontal).toString() + ": "
            + dlg.findChild<QComboBox*>("bodyKindCombo")->itemText(0);
    texts << targets->model()->headerData(3, Qt::Horizontal).toString() + " | "
            + dlg.findChild<QLabel*>("changesLabel")->text();

    QTest::mouseClick(dlg.findChild<QPushButton*>("submitAllButton"), Qt::LeftButton);
    texts << dlg.findChild<QLabel*>("runStatusLabel")->text();
    auto record = std::make_shared<CSubmitHost>();
    record->m_strBodyKind = "rss";
    qobject_cast<CTargetListModel*>(targets->model())->AppendRow(record);
    targets->selectRow(0);
    CMessageBox::SetTestHook(
        [&texts](const CMessageBox::CMessage& message) { texts << message.m_strText; });
    QTest::mouseClick(dlg.findChild<QPushButton*>("submitButton"), Qt::LeftButton);
    CMessageBox::SetTestHook(nullptr);

    CPostResult indexNow;
    indexNow.m_status = 202;
    indexNow.m_reason = CText::Verbatim("Accepted");
    indexNow.m_serviceMessage = CText("key not yet verified");
    indexNow.m_seconds = 1.314;
    texts << CResultText::Summary(indexNow) + " | " + CResultText::Count(1234567);
    for (const std::uint64_t count : {1, 2}) {
        texts << CResultText::Translated(
            CText::Counted("Recorded %Ln addresses; changes from now on are posted",
                "Recorded %Ln address; changes from now on are posted", count));
    }
    // Reasons as the post log keeps them, in English.
    texts << CResultText::Logged("could not check: Connection refused") + " | "
            + CResultText::Logged("moved to https://a.example/b") + " | "
            + CResultText::Logged("503 Service Unavailable");
    texts << CAboutDlg(&dlg).windowTitle();
    texts << QDialogButtonBox(QDialogButtonBox::Cancel).button(QDialogButtonBox::Cancel)->text();
    return texts;
}

const QStringList English = {
    "&File: &Load Data... | &Save Data...",
    "&Run: &Submit | Su&bmit All | Submit Failed A&gain | Sto&p | Save &Results... |  | "
    "Pre&view... | &History... | Set &Up Site... | &IndexNow Key...",
    "&Help: &Open Data Folder | &About Quillpost...",
    "A&dd (Add parameter)",
    "Sto&p ()",
    "Add &well-known services ()",
    "Kind: Form",
    "Changes from | &Changes from:",
    "Done: 0 succeeded, 0 failed in 0:00",
    "The browser window cannot be opened: Unknown body kind “rss”",
    "202 Accepted · key not yet verified · 1.31 s | 1,234,567",
    "Recorded 1 address; changes from now on are posted",
    "Recorded 2 addresses; changes from now on are posted",
    "could not check: Connection refused | moved to https://a.example/b | 503 Service "
    "Unavailable",
    "About Quillpost",
    "Cancel",
};

// The server's words and addresses stay as they came; digits group with points, with a decimal
// comma.
const QStringList German = {
    "&Datei: Daten &laden... | Daten &speichern...",
    "&Ausführen: &Senden | All&e senden | &Fehlgeschlagene erneut senden | Sto&pp | "
    "Er&gebnisse speichern... |  | V&orschau... | &Verlauf... | Website ein&richten... | "
    "&IndexNow-Schlüssel...",
    "&Hilfe: &Datenordner öffnen | Ü&ber Quillpost...",
    "Hinzufü&gen (Parameter hinzufügen)",
    "Sto&pp ()",
    "Be&kannte Dienste hinzufügen ()",
    "Typ: Formular",
    "Änderungen aus | Ände&rungen aus:",
    "Fertig: 0 erfolgreich, 0 fehlgeschlagen in 0:00",
    "Das Browserfenster kann nicht geöffnet werden: Unbekannter Inhaltstyp „rss“",
    "202 Accepted · Schlüssel noch nicht bestätigt · 1,31 s | 1.234.567",
    "1 Adresse aufgezeichnet; von jetzt an werden Änderungen gesendet",
    "2 Adressen aufgezeichnet; von jetzt an werden Änderungen gesendet",
    "nicht prüfbar: Verbindung abgelehnt | verschoben nach https://a.example/b | 503 "
    "Service Unavailable",
    "Über Quillpost",
    "Abbrechen",
};

} // namespace

class TranslationTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { InstallTranslations(QLocale::c()); }

    void texts_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("German") << "de_DE" << German;
        QTest::newRow("German of Austria") << "de_AT" << German;
        QTest::newRow("C") << "C" << English;
        QTest::newRow("English") << "en_US" << English;
        QTest::newRow("French, which has no translation") << "fr_FR" << English;
    }

    void texts()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, texts);
        QCOMPARE(InstallTranslations(QLocale(locale)), QString(texts == German ? "de" : ""));
        QCOMPARE(Texts(), texts);
    }
};

QTEST_MAIN(TranslationTest)
#include "TranslationTest.moc"
