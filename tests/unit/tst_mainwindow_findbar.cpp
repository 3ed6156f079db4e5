// Finding text in the page: the find bar's searches, its count, its keys, and its place over the
// web view, outside the window's layout.
#include "browser/FindBar.h"
#include "browser/Layout.h"
#include "browser/PageTools.h"
#include "platform/Twips.h"
#include "support/MainWindowFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

struct FindWindow : MainWindowFixture {
    browser::FindBar& bar = frm.Tools().Find();
    // Opens the bar with Ctrl+F from the page and types text into it.
    void Search(const QString& text) {
        QTest::keyClick(frm.WB, Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(bar.Text, text);
    }
};

} // namespace

class TestMainWindowFindBar : public QObject {
    Q_OBJECT
private slots:
    void ctrlFOpensBarReadyForTyping() {
        FindWindow w;
        QVERIFY(w.Show());
        QVERIFY(!w.bar.isVisible());
        QTest::keyClick(w.frm.WB, Qt::Key_F, Qt::ControlModifier);
        QVERIFY(w.bar.isVisible());
        QCOMPARE(QApplication::focusWidget(), w.bar.Text);
        QCOMPARE(w.bar.Text->placeholderText(), QStringLiteral("Rechercher dans la page"));
        QCOMPARE(w.bar.Next->text(), QStringLiteral("Suivant"));
        QCOMPARE(w.bar.Previous->text(), QStringLiteral("Précédent"));
        QCOMPARE(w.bar.MatchCase->text(), QStringLiteral("Respecter la casse"));
        QVERIFY(w.web.Calls.isEmpty());
    }

    void typingCountsMatches_data() {
        QTest::addColumn<int>("matches");
        QTest::addColumn<QString>("count");
        QTest::newRow("three") << 3 << QStringLiteral("3 résultats");
        QTest::newRow("one") << 1 << QStringLiteral("1 résultat");
        QTest::newRow("none") << 0 << QStringLiteral("Aucun résultat");
    }
    void typingCountsMatches() {
        QFETCH(int, matches);
        QFETCH(QString, count);
        FindWindow w;
        QVERIFY(w.Show());
        w.web.Matches = matches;
        w.Search(QStringLiteral("lune"));
        QCOMPARE(w.web.Calls.last(), QStringLiteral("FindText(lune,forward,nocase)"));
        QCOMPARE(w.bar.Count->text(), count);
    }

    void nextAndPrevious_data() {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("keys") << true;
        QTest::newRow("buttons") << false;
    }
    void nextAndPrevious() {
        QFETCH(bool, byKey);
        FindWindow w;
        QVERIFY(w.Show());
        w.web.Matches = 3;
        w.Search(QStringLiteral("lune"));
        w.web.Calls.clear();
        if (byKey) {
            QTest::keyClick(w.bar.Text, Qt::Key_Return);
            QTest::keyClick(w.bar.Text, Qt::Key_Enter);
            QTest::keyClick(w.bar.Text, Qt::Key_Return, Qt::ShiftModifier);
        } else {
            QTest::mouseClick(w.bar.Next, Qt::LeftButton);
            QTest::mouseClick(w.bar.Next, Qt::LeftButton);
            QTest::mouseClick(w.bar.Previous, Qt::LeftButton);
        }
        QCOMPARE(w.web.Calls,
                 (QStringList{"FindText(lune,forward,nocase)", "FindText(lune,forward,nocase)",
                              "FindText(lune,backward,nocase)"}));
        QCOMPARE(w.bar.Count->text(), QStringLiteral("3 résultats"));
        // The keyboard stays in the text, where Enter goes on.
        QCOMPARE(QApplication::focusWidget(), w.bar.Text);
        QVERIFY(w.bar.isVisible());
    }

    void matchCasePassed() {
        FindWindow w;
        QVERIFY(w.Show());
        w.web.Matches = 2;
        w.Search(QStringLiteral("Lune"));
        w.web.Calls.clear();
        w.bar.MatchCase->click();
        QCOMPARE(w.web.Calls, QStringList{"FindText(Lune,forward,case)"});
        QTest::keyClick(w.bar.Text, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(w.web.Calls.last(), QStringLiteral("FindText(Lune,backward,case)"));
    }

    void erasingTheTextClearsHighlight() {
        FindWindow w;
        QVERIFY(w.Show());
        w.web.Matches = 4;
        w.Search(QStringLiteral("a"));
        QTest::keyClick(w.bar.Text, Qt::Key_Backspace);
        QCOMPARE(w.web.Calls.last(), QStringLiteral("FindText(,forward,nocase)"));
        QCOMPARE(w.bar.Count->text(), QString());
    }

    void escapeClosesAndClears_data() {
        QTest::addColumn<bool>("closeButton");
        QTest::newRow("Escape") << false;
        QTest::newRow("close button") << true;
    }
    void escapeClosesAndClears() {
        QFETCH(bool, closeButton);
        FindWindow w;
        QVERIFY(w.Show());
        w.web.Matches = 3;
        w.Search(QStringLiteral("lune"));
        w.web.Calls.clear();
        if (closeButton) {
            QTest::mouseClick(w.bar.CloseButton, Qt::LeftButton);
        } else {
            QTest::keyClick(w.bar.Text, Qt::Key_Escape);
        }
        QVERIFY(!w.bar.isVisible());
        QCOMPARE(w.web.Calls, (QStringList{"FindText(,forward,nocase)", "SetFocus"}));
        QCOMPARE(QApplication::focusWidget(), w.frm.WB);

        // Opened again, it finds its text again.
        w.web.Calls.clear();
        QTest::keyClick(w.frm.WB, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(w.bar.Text->selectedText(), QStringLiteral("lune"));
        QCOMPARE(w.web.Calls, QStringList{"FindText(lune,forward,nocase)"});
    }

    void floatsOverTopRightOfWebView() {
        FindWindow w;
        QVERIFY(w.Show());
        QTest::keyClick(w.frm.WB, Qt::Key_F, Qt::ControlModifier);
        const QRect view = w.frm.WB->geometry();
        QVERIFY(view.contains(w.bar.geometry()));
        QVERIFY(view.right() - w.bar.geometry().right() < 10);
        QCOMPARE(w.bar.y(), view.top());
        // Over the view, not under it.
        QWidget* top = w.frm.childAt(w.bar.geometry().center());
        QVERIFY(top == &w.bar || w.bar.isAncestorOf(top));
    }

    void layoutUnchangedWithBarOpen() {
        FindWindow w;
        QVERIFY(w.Show());
        const MainWindowFixture::Twips closed = w.LaidOut();
        QTest::keyClick(w.frm.WB, Qt::Key_F, Qt::ControlModifier);
        QCOMPARE(w.LaidOut(), closed);

        // Resized with the bar open: the rule's results for that size, the bar following.
        const QSize wide(platform::TwipsToPixelsX(20000 - 120),
                         platform::TwipsToPixelsY(12000 - 510));
        w.frm.resize(wide);
        QTRY_COMPARE(w.frm.size(), wide);
        const browser::TwipsRect about = w.frm.Twips(w.frm.Bouton[10]);
        const browser::LayoutResult rule = browser::FormResizeLayout(
            {w.frm.FormWidth(), w.frm.FormHeight(), 0, about.Left, about.Width});
        QVERIFY(rule.WebViewWidth > closed[2]);
        QCOMPARE(w.frm.Twips(w.frm.WB).Width, rule.WebViewWidth);
        QCOMPARE(w.frm.Twips(w.frm.WB).Height, rule.WebViewHeight);
        QCOMPARE(w.frm.Twips(w.frm.Bouton[0]).Left, rule.CloseButtonLeft);
        QCOMPARE(w.frm.Twips(w.frm.PBar).Left, rule.ProgressLeft);
        QCOMPARE(w.frm.Twips(w.frm.PBar).Width, rule.ProgressWidth);
        QVERIFY(w.frm.WB->geometry().contains(w.bar.geometry()));
        QVERIFY(w.frm.WB->geometry().right() - w.bar.geometry().right() < 10);
    }
};

QTEST_MAIN(TestMainWindowFindBar)
#include "tst_mainwindow_findbar.moc"
