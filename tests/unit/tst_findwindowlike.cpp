// The earlier-instance search and activation over a window tree held in memory.
#include "app/FindWindowLike.h"
#include "fakes/FakeWindowTree.h"

#include <QTest>

using namespace BrowserMod1;

namespace {
const QString Caption = QStringLiteral("Navigateur Ulmeco");
const QString Class = QStringLiteral("ThunderRT6FormDC");
} // namespace

class TestFindWindowLike : public QObject {
    Q_OBJECT
private slots:
    void lastMatchWins() {
        FakeWindowTree tree;
        tree.Add("Autre", Class);
        const auto upper = tree.Add("Accueil - " + Caption, Class);
        tree.Add(Caption, "Autre");
        const auto lower = tree.Add(Caption, Class);
        tree.Add("x", "y");
        QCOMPARE(FindWindowLike(tree, 0, "*" + Caption, Class), lower);
        QVERIFY(upper != lower);
        QVERIFY(tree.Calls.isEmpty());
    }

    void childWindowsAreNeverReturned() {
        FakeWindowTree tree;
        const auto top = tree.Add("Autre", "Autre");
        tree.Add(Caption, Class, top);
        const auto frame = tree.Add("Cadre", "Autre");
        const auto inner = tree.Add("Interne", "Autre", frame);
        tree.Add(Caption, Class, inner);
        QCOMPARE(FindWindowLike(tree, 0, "*" + Caption, Class), platform::Hwnd(0));
        QVERIFY(!ActivatePreviousInstance(tree));
        QVERIFY(tree.Calls.isEmpty());
    }

    void startWindowSearchesItsDirectChildren() {
        FakeWindowTree tree;
        const auto top = tree.Add("Parent", "P");
        const auto child = tree.Add("Enfant 1", "C", top);
        const auto grandchild = tree.Add("Petit-enfant 2", "C", child);
        const auto second = tree.Add("Enfant 2", "C", top);
        QCOMPARE(FindWindowLike(tree, top, "Enfant #", "C"), second);
        QCOMPARE(FindWindowLike(tree, child, "*", "*"), grandchild);
        QCOMPARE(FindWindowLike(tree, second, "*", "*"), platform::Hwnd(0));
    }

    void bothTextsAreReadForEveryWindow() {
        FakeWindowTree tree;
        tree.Add("a", "b");
        tree.Add("c", "d");
        tree.Add("e", "f");
        QCOMPARE(FindWindowLike(tree, 0, "nothing", "nothing"), platform::Hwnd(0));
        QCOMPARE(tree.BufferSizes, QList<int>({255, 255, 255, 255, 255, 255}));
    }

    void emptyDesktop() {
        FakeWindowTree tree;
        QCOMPARE(FindWindowLike(tree, 0, "*", "*"), platform::Hwnd(0));
        QVERIFY(!ActivatePreviousInstance(tree));
    }

    void captionLength_data() {
        QTest::addColumn<int>("titleLength");
        QTest::addColumn<bool>("found");
        const int prefix = int(QStringLiteral(" - ").size() + Caption.size());
        QTest::newRow("254 characters") << 254 - prefix << true;
        QTest::newRow("255 characters") << 255 - prefix << false;
        QTest::newRow("much longer") << 1000 << false;
    }
    void captionLength() {
        QFETCH(int, titleLength);
        QFETCH(bool, found);
        FakeWindowTree tree;
        const auto window = tree.Add(QString(titleLength, u't') + " - " + Caption, Class);
        QCOMPARE(FindWindowLike(tree, 0, "*" + Caption, Class), found ? window : 0);
        QCOMPARE(ActivatePreviousInstance(tree), found);
    }

    void activation_data() {
        QTest::addColumn<bool>("iconic");
        QTest::addColumn<QStringList>("calls");
        QTest::newRow("minimised: restored, then brought forward")
            << true << QStringList({"ShowWindow(3,9)", "SetForegroundWindow(3)"});
        QTest::newRow("normal or maximised: state kept")
            << false << QStringList({"SetForegroundWindow(3)"});
    }
    void activation() {
        QFETCH(bool, iconic);
        QFETCH(QStringList, calls);
        FakeWindowTree tree;
        tree.Add(Caption, Class);
        const auto window = tree.Add("Page - " + Caption, Class);
        QCOMPARE(window, platform::Hwnd(3));
        tree.Windows[window].iconic = iconic;
        QVERIFY(ActivatePreviousInstance(tree));
        QCOMPARE(tree.Calls, calls);
    }

    void activationIgnoresOtherWindows() {
        FakeWindowTree tree;
        tree.Add(Caption + " ", Class);
        tree.Add("navigateur ulmeco", Class);
        tree.Add(Caption, "ThunderRT6FormDc");
        tree.Add(Caption, "ThunderRT6Form");
        tree.Add("", Class); // an instance still starting: no caption yet
        QVERIFY(!ActivatePreviousInstance(tree));
        QVERIFY(tree.Calls.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestFindWindowLike)
#include "tst_findwindowlike.moc"
