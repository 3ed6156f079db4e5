// The toolbar's commands, the home button's drop-down and the links menu.
#include "browser/BrowserFrm.h"
#include "browser/CaptionFont.h"
#include "browser/SplitButton.h"
#include "fakes/FakeWebView.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QToolButton>

namespace {

std::unique_ptr<platform::WebView> MakeFake(QWidget* parent) {
    return std::make_unique<FakeWebView>(parent);
}

const QString kHome = QStringLiteral("http://127.0.0.1:8080/accueil.html");
const QString kMail = QStringLiteral("http://127.0.0.1:8080/courrier.html");

struct Window {
    BrowserFrm frm{MakeFake};
    FakeWebView& web = *static_cast<FakeWebView*>(frm.WB);
    Window() {
        frm.HomeUrl = kHome;
        frm.MailUrl = kMail;
        frm.LinkUrls[0] = kHome;
        frm.ShowAbout = [this](BrowserFrm& owner) {
            QCOMPARE(&owner, &frm);
            web.Calls << "About";
        };
    }
    bool Show() {
        frm.show();
        frm.activateWindow();
        return QTest::qWaitForWindowActive(&frm);
    }
    QPoint HomeButtonLowerLeft() const {
        const QToolButton* home = frm.Bouton[5];
        return frm.mapToGlobal(QPoint(home->x(), home->y() + home->height()));
    }
};

} // namespace

class TestMainWindowToolbar : public QObject {
    Q_OBJECT
private slots:
    void command_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("0 close") << 0 << QStringList{"SetFocus"};
        QTest::newRow("1 back") << 1 << QStringList{"SetFocus", "GoBack"};
        QTest::newRow("2 forward") << 2 << QStringList{"SetFocus", "GoForward"};
        QTest::newRow("3 refresh") << 3 << QStringList{"SetFocus", "Refresh"};
        QTest::newRow("4 stop") << 4 << QStringList{"SetFocus", "Stop"};
        QTest::newRow("5 home") << 5 << QStringList{"SetFocus", "Navigate(" + kHome + ")"};
        QTest::newRow("6 search") << 6 << QStringList{"SetFocus", "GoSearch"};
        QTest::newRow("7 print") << 7 << QStringList{"SetFocus", "ExecWB(6,0)"};
        QTest::newRow("8 preview") << 8 << QStringList{"SetFocus", "ExecWB(7,0)"};
        QTest::newRow("9 save") << 9 << QStringList{"SetFocus", "ExecWB(4,0)"};
        QTest::newRow("10 about") << 10 << QStringList{"SetFocus", "About"};
        QTest::newRow("11 mail") << 11 << QStringList{"SetFocus", "Navigate(" + kMail + ")"};
        QTest::newRow("12 nothing") << 12 << QStringList{"SetFocus"};
        QTest::newRow("-1 nothing") << -1 << QStringList{"SetFocus"};
    }
    void command() {
        QFETCH(int, index);
        QFETCH(QStringList, calls);
        Window w;
        QVERIFY(w.Show());
        w.frm.Bouton_Click(index);
        QCOMPARE(w.web.Calls, calls);
        QCOMPARE(w.frm.isVisible(), index != 0);
        QVERIFY(!w.frm.MenuLiens->isVisible());
    }

    void mouseClickRunsCommand() {
        Window w;
        QVERIFY(w.Show());
        QTest::mouseClick(w.frm.Bouton[11], Qt::LeftButton);
        QCOMPARE(w.web.Calls, (QStringList{"SetFocus", "Navigate(" + kMail + ")"}));
        QCOMPARE(QApplication::focusWidget(), w.frm.WB);
    }

    void accessKeys_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("call");
        QTest::newRow("Alt+P back") << int(Qt::Key_P) << "GoBack";
        QTest::newRow("Alt+S forward") << int(Qt::Key_S) << "GoForward";
        QTest::newRow("Alt+A refresh") << int(Qt::Key_A) << "Refresh";
        QTest::newRow("Alt+T stop") << int(Qt::Key_T) << "Stop";
        QTest::newRow("Alt+D home") << int(Qt::Key_D) << "Navigate(" + kHome + ")";
        QTest::newRow("Alt+C search") << int(Qt::Key_C) << "GoSearch";
        QTest::newRow("Alt+I print") << int(Qt::Key_I) << "ExecWB(6,0)";
        QTest::newRow("Alt+R preview") << int(Qt::Key_R) << "ExecWB(7,0)";
        QTest::newRow("Alt+E save") << int(Qt::Key_E) << "ExecWB(4,0)";
        QTest::newRow("Alt+M mail") << int(Qt::Key_M) << "Navigate(" + kMail + ")";
    }
    void accessKeys() {
        QFETCH(int, key);
        QFETCH(QString, call);
        Window w;
        QVERIFY(w.Show());
        QTest::keyClick(&w.frm, static_cast<Qt::Key>(key), Qt::AltModifier);
        QTRY_COMPARE(w.web.Calls, (QStringList{"SetFocus", call}));
    }

    void accessKeyCloses() {
        Window w;
        QVERIFY(w.Show());
        QTest::keyClick(&w.frm, Qt::Key_F, Qt::AltModifier);
        QTRY_VERIFY(!w.frm.isVisible());
        QCOMPARE(w.web.Calls, QStringList{"SetFocus"});
    }

    void menuOpensBelowHomeButton() {
        Window w;
        QVERIFY(w.Show());
        w.frm.MLink[2]->setVisible(true);
        w.frm.MLink[4]->setVisible(true);
        w.frm.Bouton_DropDown(5);
        QVERIFY(QTest::qWaitForWindowExposed(w.frm.MenuLiens));
        QCOMPARE(w.frm.MenuLiens->pos(), w.HomeButtonLowerLeft());
        QCOMPARE(w.frm.MenuLiens->activeAction(), nullptr);
        // Entries 0, 2 and 4 in that order; hidden entries take no room.
        QList<QAction*> shown;
        for (QAction* entry : w.frm.MenuLiens->actions()) {
            if (entry->isVisible()) {
                shown << entry;
            }
        }
        QCOMPARE(shown, (QList<QAction*>{w.frm.MLink[0], w.frm.MLink[2], w.frm.MLink[4]}));
        QVERIFY(w.frm.MenuLiens->actionGeometry(w.frm.MLink[1]).isEmpty());
        QCOMPARE(w.frm.MenuLiens->actionGeometry(w.frm.MLink[2]).top(),
                 w.frm.MenuLiens->actionGeometry(w.frm.MLink[0]).bottom() + 1);
        w.frm.MenuLiens->close();
        QVERIFY(w.web.Calls.isEmpty());
    }

    void menuWithEntryZeroAlone() {
        Window w;
        QVERIFY(w.Show());
        w.frm.Bouton_DropDown(5);
        QVERIFY(QTest::qWaitForWindowExposed(w.frm.MenuLiens));
        int shown = 0;
        for (QAction* entry : w.frm.MenuLiens->actions()) {
            shown += entry->isVisible() ? 1 : 0;
        }
        QCOMPARE(shown, 1);
        QVERIFY(w.frm.MLink[0]->isVisible());
        w.frm.MenuLiens->close();
    }

    void dropDownOfOtherButtonsDoesNothing() {
        Window w;
        QVERIFY(w.Show());
        for (int index : {0, 4, 6, 11, 12}) {
            w.frm.Bouton_DropDown(index);
        }
        QVERIFY(!w.frm.MenuLiens->isVisible());
        QVERIFY(w.web.Calls.isEmpty());
    }

    void homeButtonParts() {
        Window w;
        QVERIFY(w.Show());
        auto* home = qobject_cast<browser::SplitButton*>(w.frm.Bouton[5]);
        QVERIFY(home != nullptr);
        const QRect arrow = home->DropDownRect();
        QVERIFY(arrow.isValid());
        QVERIFY(arrow.left() > home->width() / 2);

        // Main part: navigates home, never shows the menu.
        QTest::mouseClick(home, Qt::LeftButton, {}, QPoint(arrow.left() / 2, home->height() / 2));
        QCOMPARE(w.web.Calls, (QStringList{"SetFocus", "Navigate(" + kHome + ")"}));
        QVERIFY(!w.frm.MenuLiens->isVisible());

        // Drop-down part: shows the menu only.
        w.web.Calls.clear();
        QTest::mousePress(home, Qt::LeftButton, {}, arrow.center());
        QVERIFY(QTest::qWaitForWindowExposed(w.frm.MenuLiens));
        QCOMPARE(w.frm.MenuLiens->pos(), w.HomeButtonLowerLeft());
        w.frm.MenuLiens->close();
        QTest::mouseRelease(home, Qt::LeftButton, {}, arrow.center());
        QVERIFY(w.web.Calls.isEmpty());
    }

    void homeButtonDropDownFromKeyboard() {
        Window w;
        QVERIFY(w.Show());
        w.frm.Bouton[5]->setFocus();
        QTest::keyClick(w.frm.Bouton[5], Qt::Key_Down, Qt::AltModifier);
        QVERIFY(QTest::qWaitForWindowExposed(w.frm.MenuLiens));
        w.frm.MenuLiens->close();
        QVERIFY(w.web.Calls.isEmpty());
    }

    void menuEntry_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("entry 0 is home")
            << 0 << kHome << QStringList{"Navigate(" + kHome + ")", "SetFocus"};
        QTest::newRow("no scheme kept")
            << 3 << "www.exemple.fr" << QStringList{"Navigate(www.exemple.fr)", "SetFocus"};
        QTest::newRow("empty address") << 5 << "" << QStringList{"SetFocus"};
    }
    void menuEntry() {
        QFETCH(int, index);
        QFETCH(QString, address);
        QFETCH(QStringList, calls);
        Window w;
        w.frm.LinkUrls[index] = address;
        w.frm.MLink[index]->setVisible(true);
        w.frm.MLink[index]->trigger();
        QCOMPARE(w.web.Calls, calls);
    }

    void captionsFitTheirButtons() {
        Window w;
        QVERIFY(w.Show());
        for (QToolButton* button : w.frm.Bouton) {
            QString text = button->text();
            text.remove(QLatin1Char('&'));
            int room = button->width();
            if (auto* split = qobject_cast<browser::SplitButton*>(button)) {
                room -= split->DropDownRect().width();
            }
            QVERIFY2(QFontMetrics(button->font()).horizontalAdvance(text) < room, qPrintable(text));
            QCOMPARE(button->font(), w.frm.Bouton[0]->font());
        }
    }

    void captionFontSize_data() {
        QTest::addColumn<int>("room");
        QTest::addColumn<bool>("smaller");
        QTest::addColumn<bool>("atMinimum");
        QTest::newRow("fits") << 400 << false << false;
        QTest::newRow("too long") << 60 << true << false;
        QTest::newRow("never fits") << 2 << true << true;
    }
    void captionFontSize() {
        QFETCH(int, room);
        QFETCH(bool, smaller);
        QFETCH(bool, atMinimum);
        QFont base = QApplication::font();
        base.setPointSizeF(10);
        const QFont font = browser::FitCaptions(
            base, {{QStringLiteral("&Enregistrer"), room}, {QStringLiteral("Infos"), 400}}, 6.5);
        QCOMPARE(font.pointSizeF() < 10, smaller);
        QCOMPARE(font.pointSizeF() == 6.5, atMinimum);
        if (smaller && !atMinimum) {
            QVERIFY(QFontMetrics(font).horizontalAdvance(QStringLiteral("Enregistrer")) <= room);
        }
    }

    void buttonsNamedForScreenReaders() {
        Window w;
        QVERIFY(w.Show());
        w.frm.Bouton[5]->setToolTip(kHome);
        QAccessibleInterface* back = QAccessible::queryAccessibleInterface(w.frm.Bouton[1]);
        QVERIFY(back != nullptr);
        QCOMPARE(back->role(), QAccessible::Button);
        QCOMPARE(back->text(QAccessible::Name), QStringLiteral("Prédédent"));
        QAccessibleInterface* home = QAccessible::queryAccessibleInterface(w.frm.Bouton[5]);
        QCOMPARE(home->text(QAccessible::Name), QStringLiteral("Démarrage"));
        QCOMPARE(home->text(QAccessible::Description), kHome);
    }

    void tabOrderAndInitialFocus() {
        Window w;
        QVERIFY(w.Show());
        QCOMPARE(QApplication::focusWidget(), w.frm.WB);
        const int expected[] = {0, 1, 2, 3, 4, 5, 6, 11, 7, 8, 9, 10};
        QWidget* current = w.frm.WB;
        for (int index : expected) {
            current = current->nextInFocusChain();
            while (current->focusPolicy() == Qt::NoFocus || !current->isVisible()) {
                current = current->nextInFocusChain();
            }
            QCOMPARE(current, w.frm.Bouton[index]);
        }
    }
};

QTEST_MAIN(TestMainWindowToolbar)
#include "tst_mainwindow_toolbar.moc"
