// The About box: its links (target, hover look, pointer), the keys that close it, and the box as
// the main window shows it.
//
// Mouse input goes through the window system's path, as a real pointer's does, so that the
// widgets under the pointer get their enter and leave events.
#define QTEST_QPA_MOUSE_HANDLING
#include "about/frmAbout.h"
#include "app/StartUp.h"
#include "support/MainWindowFixture.h"

#include <QApplication>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTimer>

namespace {

// An owner window and a shown dialog over it whose links are recorded.
struct Fixture {
    QWidget Owner;
    QStringList Opened;
    frmAbout Dialog{&Owner, [this](const QString& address) { Opened << address; }};
    QSignalSpy Finished{&Dialog, &QDialog::finished};

    Fixture() {
        Owner.setGeometry(100, 100, 800, 600);
        Owner.show();
        Dialog.show();
    }
    QWidget* Link(const QString& name) {
        return name == "picIcon" ? Dialog.picIcon : Dialog.WebLbl[name == "WebLbl1"];
    }
    // Moves the pointer over a link, or "away" onto an empty part of the dialog.
    void MoveTo(const QString& name) {
        QTest::mouseMove(&Dialog, name == "away" ? QPoint(Dialog.width() / 2, 5)
                                                 : Link(name)->geometry().center());
    }
};

// Counts the key presses that reach a widget.
struct KeySpy : QObject {
    int Presses = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        Presses += event->type() == QEvent::KeyPress;
        return false;
    }
};

// A link's look: its text colour ("design" while as designed), underline and pointer.
QString Look(const QWidget* link) {
    const QColor colour = link->palette().color(QPalette::WindowText);
    return (colour == link->palette().color(QPalette::ButtonText) ? "design" : colour.name()) +
           (link->font().underline() ? " underlined " : " ") +
           (link->cursor().shape() == Qt::PointingHandCursor ? "hand" : "arrow");
}

// Shows the About box as the main window's button does and runs act on it once it is up; the box
// is closed afterwards even when a check in act failed.
void ShowAndAct(MainWindowFixture& main, const std::function<void(frmAbout&)>& act) {
    QTimer::singleShot(0, [&act] {
        QWidget* modal = QApplication::activeModalWidget();
        const auto close = qScopeGuard([modal] { modal && modal->close(); });
        auto* dialog = qobject_cast<frmAbout*>(modal);
        QVERIFY(dialog && QTest::qWaitForWindowExposed(dialog));
        act(*dialog);
    });
    main.frm.ShowAbout(main.frm);
}

} // namespace

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void centredOverOwner() {
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.Dialog));
        const QPoint offset = f.Dialog.frameGeometry().center() - f.Owner.frameGeometry().center();
        QVERIFY(offset.manhattanLength() <= 2);
    }

    void link_data() {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("address");
        QTest::newRow("icon: host name alone") << "picIcon"
                                               << "www.ulmeco.fr";
        QTest::newRow("web address") << "WebLbl0"
                                     << "http://www.ulmeco.fr";
        QTest::newRow("e-mail with subject")
            << "WebLbl1"
            << "mailto:contact@ulmeco.fr?subject=Informations sur Orvane";
    }
    void link() {
        QFETCH(QString, link);
        QFETCH(QString, address);
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.Dialog));
        f.MoveTo(link);
        QTest::mouseClick(f.Link(link), Qt::LeftButton, {}, f.Link(link)->rect().center());
        QCOMPARE(f.Opened, QStringList{address});
        QCOMPARE(f.Finished.count(), 1);
    }

    // looks: of the icon, the web address and the e-mail address, once the pointer has moved.
    void hover_data() {
        QTest::addColumn<QStringList>("moves");
        QTest::addColumn<QStringList>("looks");
        const auto row = [](const char* name, const QStringList& moves, const QStringList& looks) {
            QTest::newRow(name) << moves << looks;
        };
        const QString plain = "design arrow", over = "#0000ff underlined hand", left = plain;
        row("nothing hovered", {}, {"design arrow", plain, plain});
        row("icon", {"picIcon"}, {"design hand", plain, plain});
        row("icon left", {"picIcon", "away"}, {"design arrow", plain, plain});
        row("address", {"WebLbl0"}, {"design arrow", over, plain});
        row("address left", {"WebLbl1", "away"}, {"design arrow", plain, left});
        row("straight to the other address", {"WebLbl0", "WebLbl1"}, {"design arrow", left, over});
    }
    void hover() {
        QFETCH(QStringList, moves);
        QFETCH(QStringList, looks);
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.Dialog));
        for (const QString& move : moves) {
            f.MoveTo(move);
        }
        QCOMPARE((QStringList{Look(f.Link("picIcon")), Look(f.Link("WebLbl0")),
                              Look(f.Link("WebLbl1"))}),
                 looks);
        QVERIFY(f.Opened.isEmpty() && f.Dialog.isVisible());
    }

    void keys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("seen");
        QTest::newRow("a letter reaches the button") << int(Qt::Key_A) << "button 1, open";
        QTest::newRow("Escape closes as OK") << int(Qt::Key_Escape) << "button 0, accepted";
        QTest::newRow("Return closes as OK") << int(Qt::Key_Return) << "button 1, accepted";
        QTest::newRow("keypad Enter closes as OK") << int(Qt::Key_Enter) << "button 1, accepted";
    }
    void keys() {
        QFETCH(int, key);
        QFETCH(QString, seen);
        Fixture f;
        QVERIFY(QTest::qWaitForWindowExposed(&f.Dialog));
        f.Dialog.Bouton->setFocus();
        KeySpy button;
        f.Dialog.Bouton->installEventFilter(&button);
        QTest::keyClick(f.Dialog.Bouton, Qt::Key(key));
        const QString state = f.Finished.isEmpty()                     ? "open"
                              : f.Dialog.result() == QDialog::Accepted ? "accepted"
                                                                       : "rejected";
        QCOMPARE(QString("button %1, %2").arg(button.Presses).arg(state), seen);
        QVERIFY(f.Opened.isEmpty());
    }

    // Modal over the main window, fresh at each showing, its links reaching the main web view.
    void fromMainWindow() {
        MainWindowFixture main;
        InstallProgramHooks(main.frm);
        QVERIFY(main.Show());
        ShowAndAct(main, [&](frmAbout& dialog) {
            QCOMPARE(dialog.parentWidget(), &main.frm);
            QTest::mouseClick(main.frm.Bouton[3], Qt::LeftButton); // refresh: blocked
            QTest::mouseMove(dialog.WebLbl[1], QPoint(10, 5));
            dialog.Bouton->click();
        });
        QVERIFY(main.web.Calls.isEmpty());
        QTest::mouseClick(main.frm.Bouton[3], Qt::LeftButton); // gets through once it is gone
        QCOMPARE(main.web.Calls, (QStringList{"SetFocus", "Refresh"}));
        main.web.Calls.clear();
        ShowAndAct(main, [&](frmAbout& dialog) {
            QCOMPARE(Look(dialog.WebLbl[1]), "design arrow");
            QTest::mouseMove(dialog.WebLbl[0], QPoint(10, 5));
            QTest::mouseClick(dialog.WebLbl[0], Qt::LeftButton, {}, QPoint(10, 5));
        });
        QCOMPARE(main.web.Calls, QStringList{"Navigate(http://www.ulmeco.fr)"});
        QVERIFY(main.frm.findChildren<frmAbout*>().isEmpty());
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
