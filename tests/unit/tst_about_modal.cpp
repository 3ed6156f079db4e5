// The About box shown from the main window as the program wires it: modal over it, its links reach
// the main window's web view, and it is gone once closed.
#define QTEST_QPA_MOUSE_HANDLING
#include "about/frmAbout.h"
#include "app/StartUp.h"
#include "browser/BrowserFrm.h"
#include "fakes/FakeWebView.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

namespace {

std::unique_ptr<platform::WebView> MakeFake(QWidget* parent) {
    return std::make_unique<FakeWebView>(parent);
}

struct MainWindow {
    BrowserFrm frm{MakeFake};
    FakeWebView& web = *static_cast<FakeWebView*>(frm.WB);
    MainWindow() {
        InstallProgramHooks(frm);
        frm.setGeometry(50, 50, 900, 700);
        frm.show();
    }
};

// Shows the dialog from the main window and runs `act` on it once it is up; returns when the
// dialog has been closed.
void ShowAndAct(MainWindow& main, const std::function<void(frmAbout&)>& act) {
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        act(*dialog);
        if (dialog->isVisible()) { // a failed check above must not leave the test hanging
            dialog->reject();
        }
    });
    main.frm.ShowAbout(main.frm); // as the About button does
}

} // namespace

class TestAboutModal : public QObject {
    Q_OBJECT
private slots:
    void linkNavigatesTheMainWindowsWebView() {
        MainWindow main;
        QVERIFY(QTest::qWaitForWindowExposed(&main.frm));
        ShowAndAct(main, [&](frmAbout& dialog) {
            QCOMPARE(dialog.parentWidget(), &main.frm);
            QLabel* web = dialog.WebLbl[0];
            QTest::mouseMove(web, QPoint(10, 5));
            QTest::mouseClick(web, Qt::LeftButton, {}, QPoint(10, 5));
        });
        QCOMPARE(main.web.Calls, QStringList{"Navigate(http://www.ulmeco.fr)"});
        QVERIFY(main.frm.findChildren<frmAbout*>().isEmpty());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void mainWindowTakesNoInputWhileShown() {
        MainWindow main;
        QVERIFY(QTest::qWaitForWindowExposed(&main.frm));
        ShowAndAct(main, [&](frmAbout& dialog) {
            QVERIFY(dialog.isModal());
            // The toolbar's refresh button: its click must not get through.
            QToolButton* refresh = main.frm.Bouton[3];
            QTest::mouseClick(refresh, Qt::LeftButton);
            QVERIFY(main.web.Calls.isEmpty());
            dialog.Bouton->click();
        });
        QVERIFY(main.web.Calls.isEmpty());
        // Once the dialog is gone the same click gets through.
        QTest::mouseClick(main.frm.Bouton[3], Qt::LeftButton);
        QVERIFY2(main.web.Calls.contains("Refresh"), qPrintable(main.web.Calls.join(",")));
    }

    void eachShowingIsFresh() {
        MainWindow main;
        QVERIFY(QTest::qWaitForWindowExposed(&main.frm));
        ShowAndAct(main, [&](frmAbout& dialog) {
            QTest::mouseMove(dialog.WebLbl[1], QPoint(10, 5));
            QTest::mouseMove(&dialog, QPoint(dialog.width() / 2, 5));
            QCOMPARE(dialog.WebLbl[1]->palette().color(QPalette::WindowText), QColor(Qt::black));
            dialog.Bouton->click();
        });
        ShowAndAct(main, [&](frmAbout& dialog) {
            QLabel* mail = dialog.WebLbl[1];
            QCOMPARE(mail->palette().color(QPalette::WindowText),
                     mail->palette().color(QPalette::ButtonText));
            QVERIFY(!mail->font().underline());
            dialog.Bouton->click();
        });
        QVERIFY(main.web.Calls.isEmpty());
    }
};

QTEST_MAIN(TestAboutModal)
#include "tst_about_modal.moc"
