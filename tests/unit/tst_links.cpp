// The command line and the settings file's links in the window's tooltips and links menu (the
// fuzz driver checks the link table against a reference), and addresses read as typed.
#include "app/LinkTable.h"
#include "qt/app/StartUp.h"
#include "qt/browser/BrowserFrm.h"
#include "qt/platform/QtWebView.h"
#include "qt/tests/fakes/FakeWebView.h"
#include "settings/Ini.h"
#include "support/FileBytes.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace BrowserMod1;

class TestLinks : public QObject {
    Q_OBJECT

private slots:
    void addressToUrl_data() { // full addresses as they are, others as a user types them
        QTest::addColumn<QString>("address");
        QTest::addColumn<QUrl>("url");
        for (const char* full : {"https://a.example/x", "mailto:a@b.c"}) {
            QTest::newRow(full) << QString(full) << QUrl(full);
        }
        QTest::newRow("localhost:8080/x read as host and port")
            << "localhost:8080/x" << QUrl("http://localhost:8080/x");
    }
    void addressToUrl() {
        QFETCH(QString, address);
        QTEST(platform::QtWebView::AddressToUrl(address), "url");
    }

    void appliedToWindow() { // a megabyte of title shown cut at 1023 characters
        QTemporaryDir dir;
        IniFileName = dir.filePath("Orvane.ini");
        QVERIFY(
            testsupport::WriteBytes(IniFileName, "[Main]\nTitre1=pas ici\n[Liens]\nTitre2=Deux & "
                                                 "trois\nAdresse2=deux.fr\nTitre4=" +
                                                     QByteArray(1 << 20, 'l') + "\n"));
        BrowserFrm frm([](QWidget* parent) -> std::unique_ptr<platform::WebView> {
            return std::make_unique<FakeWebView>(parent);
        });
        ParseCommandLine(frm, "intra.local/accueil,mail.local:8080");
        QCOMPARE(frm.Bouton[5]->toolTip(), "http://intra.local/accueil");
        QCOMPARE(frm.Bouton[11]->toolTip(), "mail.local:8080");
        QStringList shown;
        for (QAction* entry : frm.MLink) {
            shown << (entry->isVisible() ? entry->text() : "-");
        }
        QCOMPARE(shown, (QStringList{"intra.local/accueil", "-", "Deux & trois", "-",
                                     QString(1023, 'l'), "-"}));
        const QString mb(1 << 20, u'a'); // and a megabyte of home address, then of commas
        const LinkTable big = BuildLinkTable(
            PrepareCommandLine("  " + mb + QString(1 << 20, u',') + "  "), IniReadDefault);
        QVERIFY(big.HomeUrl == "http://" + mb && big.Entry0Caption == mb); // no QCOMPARE: megabytes
    }
};

QTEST_MAIN(TestLinks)
#include "tst_links.moc"
