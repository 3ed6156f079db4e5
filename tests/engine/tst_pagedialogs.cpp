// The dialogs a page's scripts open (alert, confirm, prompt): French captions and buttons, the
// page's text shown as text and never as markup, and the answer given back to the script.
#include "platform/Engine.h"
#include "support/ModalDialog.h"
#include "support/ShownWebView.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>
#include <memory>

namespace {

constexpr int kTimeout = 15000;

// What a dialog showed.
struct Shown {
    QString Caption;
    QString Text; // as the user reads it
    QStringList Buttons;
};

QString WithoutMnemonic(QString text) {
    return text.remove(QLatin1Char('&'));
}

// The text a label shows, rich text read as the user sees it.
QString Displayed(const QLabel& label) {
    if (!Qt::mightBeRichText(label.text())) {
        return label.text();
    }
    QTextDocument document;
    document.setHtml(label.text());
    return document.toPlainText();
}

} // namespace

class TestPageDialogs : public QObject {
    Q_OBJECT
public:
    static void initMain() { PrepareEngineTest(); }

private:
    std::unique_ptr<ShownWebView> View;

    // Answers the next modal dialog: notes what it shows, types `typed` into its text box if it
    // has one, then presses the button captioned `press`.
    static void AnswerNextDialog(Shown& seen, const QString& press, const QString& typed) {
        WhenShown<QDialog>([&seen, press, typed](QDialog& dialog) {
            seen.Caption = dialog.windowTitle();
            for (const QLabel* label : dialog.findChildren<QLabel*>()) {
                if (!label->text().isEmpty() && label->pixmap().isNull()) {
                    seen.Text = Displayed(*label);
                }
            }
            if (auto* edit = dialog.findChild<QLineEdit*>()) {
                edit->setText(typed);
            }
            QAbstractButton* pressed = nullptr;
            for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
                seen.Buttons << WithoutMnemonic(button->text());
                if (WithoutMnemonic(button->text()) == press) {
                    pressed = button;
                }
            }
            if (pressed != nullptr) {
                pressed->click();
            } else {
                dialog.close();
            }
        });
    }

private slots:
    void initTestCase() {
        platform::InstallTranslations(*QCoreApplication::instance());
        View = std::make_unique<ShownWebView>();
    }
    void cleanupTestCase() { View.reset(); }

    void scriptDialog_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("press");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QString>("answer");
        const QStringList okCancel{"OK", "Annuler"};
        const QString confirm =
            "document.title = confirm('Supprimer la facture ?') ? 'oui' : 'non';";
        const QString prompt =
            "var r = prompt('Votre nom ?', 'Martin'); document.title = r === null ? 'rien' : r;";
        QTest::newRow("alert, markup shown as text")
            << "alert('Solde < 0 & <b>urgent</b>'); document.title = 'lu';"
            << "OK"
            << ""
            << "Solde < 0 & <b>urgent</b>" << QStringList{"OK"} << "lu";
        QTest::newRow("confirm, OK") << confirm << "OK"
                                     << ""
                                     << "Supprimer la facture ?" << okCancel << "oui";
        QTest::newRow("confirm, Annuler") << confirm << "Annuler"
                                          << ""
                                          << "Supprimer la facture ?" << okCancel << "non";
        QTest::newRow("prompt, typed and OK") << prompt << "OK"
                                              << "Dupont-Lévêque"
                                              << "Votre nom ?" << okCancel << "Dupont-Lévêque";
        QTest::newRow("prompt, Annuler") << prompt << "Annuler"
                                         << "Dupont"
                                         << "Votre nom ?" << okCancel << "rien";
    }
    void scriptDialog() {
        QFETCH(QString, script);
        QFETCH(QString, press);
        QFETCH(QString, typed);
        QFETCH(QString, text);
        QFETCH(QStringList, buttons);
        QFETCH(QString, answer);

        Shown seen;
        AnswerNextDialog(seen, press, typed);
        // The dialog opens once the page has loaded: a load the test waits for is not held up.
        const QString page =
            QStringLiteral("<!doctype html><meta charset=utf-8><script>setTimeout(function() { %1 "
                           "}, 0);</script>")
                .arg(script);
        QVERIFY(View->Load(QStringLiteral("data:text/html;charset=utf-8,") +
                               QString::fromLatin1(QUrl::toPercentEncoding(page)),
                           kTimeout));
        QTRY_COMPARE_WITH_TIMEOUT(View->View->DocumentTitle(), std::optional<QString>(answer),
                                  kTimeout);
        QCOMPARE(seen.Caption, QStringLiteral("Message de la page"));
        QCOMPARE(seen.Text, text);
        QStringList shownButtons = seen.Buttons;
        shownButtons.sort();
        buttons.sort();
        QCOMPARE(shownButtons, buttons);
    }

    // window.print() opens the print command's dialog, modal and in French; the page's script
    // goes on once it is answered, and the view stays usable. A page asking again and again gets
    // one dialog.
    void pagePrints_data() {
        QTest::addColumn<int>("requests");
        QTest::addColumn<bool>("accept");
        QTest::newRow("Annuler") << 1 << false;
        QTest::newRow("Imprimer, to a file") << 1 << true;
        QTest::newRow("asked ten times in a row, Annuler") << 10 << false;
    }
    void pagePrints() {
        QFETCH(int, requests);
        QFETCH(bool, accept);
        ShownWebView shown; // a view of its own: the requests of another page do not count
        QTemporaryDir folder;
        const QString file = folder.filePath("facture.pdf");
        int dialogs = 0;
        QString caption;
        bool modal = false;
        QStringList buttons;
        const auto answer = AnswerEach<QPrintDialog>([&](QPrintDialog& dialog) {
            ++dialogs;
            caption = dialog.windowTitle();
            modal = dialog.isModal();
            for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>()) {
                buttons << WithoutMnemonic(button->text());
            }
            if (!accept) {
                dialog.reject();
                return;
            }
            // Never a real printer: a PDF file.
            if (auto* printers = dialog.findChild<QComboBox*>("printers")) {
                printers->setCurrentIndex(printers->findText("Imprimer dans un fichier (PDF)"));
            }
            if (auto* name = dialog.findChild<QLineEdit*>("filename")) {
                name->setText(file);
            }
            dialog.accept();
        });
        const QString page =
            QStringLiteral("<!doctype html><meta charset=utf-8><p>Facture 2025-001</p><script>"
                           "setTimeout(function() { for (var i = 0; i < %1; i++) window.print(); "
                           "document.title = 'suite'; }, 0);</script>")
                .arg(requests);
        QVERIFY(shown.Load(QStringLiteral("data:text/html;charset=utf-8,") +
                               QString::fromLatin1(QUrl::toPercentEncoding(page)),
                           kTimeout));
        QTRY_COMPARE_WITH_TIMEOUT(shown.View->DocumentTitle(), std::optional<QString>("suite"),
                                  kTimeout);
        QCOMPARE(dialogs, 1);
        QCOMPARE(caption, QStringLiteral("Imprimer la page"));
        QVERIFY(modal);
        QVERIFY2(buttons.contains("Imprimer") && buttons.contains("Annuler"),
                 qPrintable(buttons.join('|')));
        if (accept) {
            QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(file).size() > 0, kTimeout);
            QFile printed(file);
            QVERIFY(printed.open(QIODevice::ReadOnly));
            QVERIFY(printed.read(5) == "%PDF-");
        }
        QVERIFY(shown.Load(QStringLiteral("data:text/html,<title>ensuite</title>"), kTimeout));
        QCOMPARE(shown.View->DocumentTitle(), std::optional<QString>("ensuite"));
    }
};

QTEST_MAIN(TestPageDialogs)
#include "tst_pagedialogs.moc"
