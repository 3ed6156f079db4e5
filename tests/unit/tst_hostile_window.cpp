// Page titles and status texts that pages written by strangers can produce: thousands of
// characters, line breaks, control and bidirectional characters, megabytes of status text.
// The caption keeps its ending within the 254 characters that the instance search reads of a
// caption (through buffers of 255), and compares.
#include "app/FindWindowLike.h"
#include "browser/BrowserFrm.h"
#include "fakes/FakeWebView.h"
#include "fakes/FakeWindowTree.h"
#include "platform/StatusText.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QStatusBar>
#include <QTest>

namespace {

constexpr qint64 kBoundMs = 5000;
// The status bar shows only what fits on its line, so even megabytes of status text are quick;
// room for a loaded machine and a sanitizer build.
constexpr qint64 kStatusBoundMs = 3000;
const QString kAppCaption = QStringLiteral("Navigateur Ulmeco");
const QString kClass = QStringLiteral("ThunderRT6FormDC");

std::unique_ptr<platform::WebView> MakeFake(QWidget* parent) {
    return std::make_unique<FakeWebView>(parent);
}

// A caption of `length` characters that ends with " - Navigateur Ulmeco".
QString CaptionOfLength(int length) {
    const QString ending = " - " + kAppCaption;
    return QString(length - ending.size(), u'x') + ending;
}

} // namespace

class TestHostileWindow : public QObject {
    Q_OBJECT
private slots:
    // The caption never holds more than the instance search reads of it: the title gives way,
    // one character at a time, and control characters are left out.
    void longTitlesKeepTheCaptionEnding_data() {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("shownTitle"); // what the caption shows before its ending
        const qsizetype room = 254 - (" - " + kAppCaption).size();
        QTest::newRow("fits") << QString(room, u't') << QString(room, u't');
        QTest::newRow("one character too many") << QString(room + 1, u't') << QString(room, u't');
        QTest::newRow("thousands of accented characters")
            << QString(20000, u'\u00E9') << QString(room, u'\u00E9');
        QTest::newRow("a megabyte") << QString(1 << 20, u'p') << QString(room, u'p');
        const QString smile = QString::fromUtf16(u"\U0001F600");
        QTest::newRow("a pair counts as one character")
            << QString(room - 1, u'a') + smile + "b" << QString(room - 1, u'a') + smile;
        QTest::newRow("a pair never split") << QString(room, u'a') + smile << QString(room, u'a');
        QTest::newRow("line breaks and tabs")
            << QString("a\nb\r\nc\td\n").repeated(500) << QString("abcd").repeated(500).left(room);
        QTest::newRow("NUL and control characters")
            << QString::fromUtf16(u"\0\x01\x1B[31m\x7F\x85", 9) << QStringLiteral("[31m");
        QTest::newRow("control characters only") << QString::fromUtf16(u"\0\n\t", 3) << QString();
        QTest::newRow("right-to-left override") << QString::fromUtf16(u"\u202Eabc\u202D\u200F")
                                                << QString::fromUtf16(u"\u202Eabc\u202D\u200F");
        QTest::newRow("ends like the caption") << " - Navigateur Ulmeco - Navigateur Ulmeco"
                                               << " - Navigateur Ulmeco - Navigateur Ulmeco";
        QTest::newRow("lone surrogate at the end")
            << QString::fromUtf16(u"abc\xD83D", 4) << QString::fromUtf16(u"abc\xD83D", 4);
    }
    void longTitlesKeepTheCaptionEnding() {
        QFETCH(QString, title);
        QFETCH(QString, shownTitle);
        BrowserFrm frm(MakeFake);
        auto& web = *static_cast<FakeWebView*>(frm.WB);
        frm.AppCaption = kAppCaption;
        web.Title = title;
        web.RaiseNavigateComplete(QStringLiteral("http://127.0.0.1/"));
        const QString caption =
            shownTitle.isEmpty() ? kAppCaption : shownTitle + " - " + kAppCaption;
        QVERIFY(frm.windowTitle() == caption);
        // A later start finds the window whatever its page.
        FakeWindowTree tree;
        const platform::Hwnd window = tree.Add(caption, kClass);
        QCOMPARE(BrowserMod1::FindWindowLike(tree, 0, BrowserMod1::InstanceCaptionPattern(),
                                             BrowserMod1::InstanceClassPattern()),
                 window);
    }

    void megabytesOfStatusText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("lastLink"); // what LastLinkUrl holds afterwards
        const QString address = "http://127.0.0.1/" + QString(1 << 20, u'a');
        QTest::newRow("an address") << address << address;
        QTest::newRow("a script") << "javascript:" + QString(1 << 20, u'j') + QString(1000, u'\n')
                                  << QString();
        QTest::newRow("lines of text")
            << QString("Terminé\n").repeated(1 << 17) << QStringLiteral("https://before.example/");
    }
    void megabytesOfStatusText() {
        QFETCH(QString, text);
        QFETCH(QString, lastLink);
        BrowserFrm frm(MakeFake);
        auto& web = *static_cast<FakeWebView*>(frm.WB);
        frm.resize(800, 600);
        frm.show();
        const QSize before = frm.size();
        web.RaiseStatusTextChange(QStringLiteral("https://before.example/"));
        QElapsedTimer timer;
        timer.start();
        web.RaiseStatusTextChange(text);
        QCoreApplication::processEvents();
        QVERIFY2(timer.elapsed() < kStatusBoundMs, qPrintable(QString::number(timer.elapsed())));
        const auto* status = frm.StatusBar->findChild<QLabel*>(QStringLiteral("StatusText"));
        QVERIFY(status->text() == platform::ShownStatusText(text));
        QVERIFY(text.startsWith(status->text()));
        QVERIFY(frm.LastLinkUrl == lastLink);
        QCOMPARE(frm.size(), before); // a long text does not widen the window
        QCOMPARE(web.RaiseNewWindow(), !lastLink.isEmpty());
    }

    // The instance search sees at most 254 characters of a caption.
    void captionsComparedOnTheirFirst254_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("found");
        QTest::newRow("254 characters") << CaptionOfLength(254) << true;
        QTest::newRow("255 characters") << CaptionOfLength(255) << false;
        QTest::newRow("thousands of characters") << CaptionOfLength(5000) << false;
        QTest::newRow("ending within the first 254")
            << CaptionOfLength(254) + QString(5000, u'y') << true;
        QTest::newRow("a megabyte of stars") << QString(1 << 20, u'*') << false;
    }
    void captionsComparedOnTheirFirst254() {
        QFETCH(QString, caption);
        QFETCH(bool, found);
        FakeWindowTree tree;
        tree.Add(QStringLiteral("Navigateur Ulmeco"), QStringLiteral("OtherClass"));
        const platform::Hwnd window = tree.Add(caption, kClass);
        QElapsedTimer timer;
        timer.start();
        const platform::Hwnd result = BrowserMod1::FindWindowLike(
            tree, 0, BrowserMod1::InstanceCaptionPattern(), BrowserMod1::InstanceClassPattern());
        QVERIFY(timer.elapsed() < kBoundMs);
        QCOMPARE(result, found ? window : 0);
        for (const int size : tree.BufferSizes) {
            QCOMPARE(size, 255);
        }
    }
};

QTEST_MAIN(TestHostileWindow)
#include "tst_hostile_window.moc"
