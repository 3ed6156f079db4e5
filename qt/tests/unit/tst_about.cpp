// The About box: its links, the keys that close it, the box as the main window shows it. The
// mouse goes through the window system's path so that widgets get their enter and leave events.
#define QTEST_QPA_MOUSE_HANDLING
#include "qt/about/frmAbout.h"
#include "qt/app/StartUp.h"
#include "qt/tests/support/MainWindowFixture.h"

#include <QApplication>
#include <QPushButton>
#include <QScopeGuard>
#include <QTimer>

namespace {

// A link's look: its text colour ("design" while as designed), underline and pointer.
QString Look(const QWidget* link) {
    const QColor colour = link->palette().color(QPalette::WindowText);
    return (colour == link->palette().color(QPalette::ButtonText) ? "design" : colour.name()) +
           (link->font().underline() ? " underlined" : "") +
           (link->cursor().shape() == Qt::PointingHandCursor ? " hand" : "");
}

// Runs act on the About box the main window shows, once it is up; the box is closed afterwards
// even when a check in act failed.
void ShowAndAct(BrowserFrm& frm, const std::function<void(frmAbout&)>& act) {
    QTimer::singleShot(0, [&act] {
        QWidget* modal = QApplication::activeModalWidget();
        const auto close = qScopeGuard([modal] { modal && modal->close(); });
        auto* dialog = qobject_cast<frmAbout*>(modal);
        QVERIFY(dialog && QTest::qWaitForWindowExposed(dialog));
        act(*dialog);
    });
    frm.ShowAbout(frm);
}

} // namespace

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    // steps: the pointer moved onto "icon", "web" or "mail", "click" there, or keys.
    // expected: the addresses opened, then how the box closed, or the looks of its three links.
    void dialog_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const char* steps, const char* expected) {
            QTest::newRow(name) << QString(steps) << QString(expected);
        };
        row("icon hovered", "icon", "design hand; design; design");
        row("address hovered", "web", "design; #0000ff underlined hand; design");
        row("to the other address", "web, mail", "design; design; #0000ff underlined hand");
        row("icon: the host name", "icon, click", "www.ulmeco.fr; accepted");
        row("web address", "web, click", "http://www.ulmeco.fr; accepted");
        row("e-mail with subject", "mail, click",
            "mailto:contact@ulmeco.fr?subject=Informations sur Orvane; accepted");
        row("Escape closes as OK, reaching no control", "Esc", "accepted");
        row("keypad Enter closes as OK", "Enter", "accepted");
    }
    void dialog() {
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        QWidget owner;
        owner.show();
        QStringList seen;
        frmAbout box(&owner, [&seen](const QString& address) { seen << address; });
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        box.Bouton->setFocus();
        const std::map<QString, QWidget*> links{
            {"icon", box.picIcon}, {"web", box.WebLbl[0]}, {"mail", box.WebLbl[1]}};
        QPoint pointer(box.width() / 2, 5); // away from every link
        for (const QString& step : steps.split(", ", Qt::SkipEmptyParts)) {
            if (step == "click") {
                QTest::mouseClick(&box, Qt::LeftButton, {}, pointer);
            } else if (links.count(step) != 0) {
                QTest::mouseMove(&box, pointer = links.at(step)->geometry().center());
            } else {
                QTest::keySequence(box.Bouton, QKeySequence(step));
            }
        }
        for (const char* link : {"icon", "web", "mail"}) {
            seen << (box.isVisible() ? Look(links.at(link)) : "");
        }
        seen << (box.isVisible() ? "" : box.result() ? "accepted" : "rejected");
        seen.removeAll("");
        QCOMPARE(seen.join("; "), expected);
    }

    // Modal over the main window, fresh at each showing, its links reaching the main web view.
    void fromMainWindow() {
        MainWindowFixture main;
        InstallProgramHooks(main.frm);
        QVERIFY(main.Show());
        ShowAndAct(main.frm, [&](frmAbout& dialog) {
            QCOMPARE(dialog.parentWidget(), &main.frm);
            QTest::mouseClick(main.frm.Bouton[3], Qt::LeftButton); // refresh: blocked
            QTest::mouseMove(dialog.WebLbl[1], QPoint(10, 5));
        });
        QTest::mouseClick(main.frm.Bouton[3], Qt::LeftButton); // gets through once it is gone
        ShowAndAct(main.frm, [&](frmAbout& dialog) {
            QCOMPARE(Look(dialog.WebLbl[1]), "design");
            QTest::mouseMove(dialog.WebLbl[0], QPoint(10, 5));
            QTest::mouseClick(dialog.WebLbl[0], Qt::LeftButton, {}, QPoint(10, 5));
        });
        QCOMPARE(main.web.Calls,
                 (QStringList{"SetFocus", "Refresh", "Navigate(http://www.ulmeco.fr)"}));
        QVERIFY(main.frm.findChildren<frmAbout*>().isEmpty());
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
