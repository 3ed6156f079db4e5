// The main window on a fake web view: its commands and keys, Escape, full screen, finding text,
// the caption, status text and progress bar from the page's events, the zoom and the layout.
#include "browser/Layout.h"
#include "qt/browser/FindBar.h"
#include "qt/browser/PageTools.h"
#include "qt/tests/support/MainWindowFixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QStatusBar>
#include <functional>
#include <map>

namespace {

// Long texts as their first 40 characters and their length.
QString Short(const QString& text) {
    return text.size() <= 300 ? text : text.left(40) + QString("…(%1)").arg(text.size());
}

struct Window : MainWindowFixture {
    browser::PageTools& tools = frm.Tools();
    QString Before; // the window's look when remembered

    bool Cancel = true;               // what the window answered the last new window: nothing opens
    Window() { frm.UpdateCaption(); } // as before any page
    bool Full() const { return frm.isFullScreen() && frm.WB->geometry() == frm.rect(); }
    static int N(const QString& numbers, int i) { return numbers.section('/', i, i).toInt(); }
    // Steps ("name" or "name:argument", else keys pressed where the keyboard is), one by one.
    void Do(const QString& steps) {
        const std::map<QString, std::function<void(const QString&)>> acts{
            {"begin", [this](auto) { emit web.DownloadBegin(); }},
            {"navigated", [this](auto) { emit web.NavigateComplete({}); }},
            {"title", [this](const QString& a) { web.Title = a, emit web.NavigateComplete({}); }},
            {"page full", [this](auto) { emit web.FullScreenRequested(true); }},
            {"page normal", [this](auto) { emit web.FullScreenRequested(false); }},
            {"page Esc", [this](auto) { QTest::keyClick(frm.WB, Qt::Key_Escape); }},
            {"status", [this](const QString& a) { emit web.StatusTextChange(a); }},
            {"progress", [this](const QString& a) { emit web.ProgressChange(N(a, 0), N(a, 1)); }},
            {"new window", [this](auto) { emit web.NewWindow(&(Cancel = false)); }},
            {"matches", [this](const QString& a) { web.Matches = a.toInt(); }},
            {"clear", [this](auto) { web.Calls.clear(); }},
            {"zoom text gone", [this](auto) { QTRY_VERIFY(!tools.ZoomTextPending()); }},
            {"click",
             [this](const QString& a) {
                 QTest::mouseClick(frm.findChild<QWidget*>(a), Qt::LeftButton);
             }},
            {"type", [](const QString& a) { QTest::keyClicks(QApplication::focusWidget(), a); }},
            {"remember", [this](auto) { Before = Look(); }},
            {"shown full", [this](auto) { QTRY_VERIFY(Full()); }}, // the layout rule waits
            {"maximize", [this](auto) { frm.setWindowState(Qt::WindowMaximized); }},
        };
        for (const QString& step : steps.split(", ", Qt::SkipEmptyParts)) {
            const auto act = acts.find(step.section(':', 0, 0));
            act != acts.end() ? act->second(step.section(':', 1))
                              : QTest::keySequence(QApplication::focusWidget(), QKeySequence(step));
        }
    }
    // What full screen changes: the window's state and bounds, controls and twips laid out.
    QString Look() const {
        QString look;
        const auto laidOut = LaidOutTwips(frm);
        QDebug(&look) << frm.windowState() << frm.geometry() << frm.WB->geometry()
                      << frm.StatusBar->isVisible() << QList<float>(laidOut.begin(), laidOut.end());
        return look;
    }
    // The calls asked of the web view and the keys it got, then what the window shows.
    QString State() const {
        const auto* bar = frm.findChild<browser::FindBar*>();
        const bool barShown = bar && bar->isVisible(), visible = frm.isVisible();
        const QString status = frm.findChild<QLabel*>("StatusText")->text();
        QStringList seen{Short(web.Calls.join(' '))};
        const auto add = [&seen](bool shown, const QString& text) { seen << (shown ? text : ""); };
        add(!Cancel, "opened");
        add(!visible, "closed");
        add(barShown, barShown ? ("find bar: " + bar->Count->text()).trimmed() : "");
        add(tools.IsFullScreen(), "full screen");
        add(!Before.isEmpty() && Look() == Before, "as before");
        add(frm.PBar->isVisibleTo(&frm),
            QString("progress %1/%2").arg(frm.PBar->value()).arg(frm.PBar->maximum()));
        add(!status.isEmpty(),
            "status: " + Short(status) + (tools.ZoomTextPending() ? " (goes)" : ""));
        add(!frm.LastLinkUrl.isEmpty(), "link: " + Short(frm.LastLinkUrl));
        add(frm.windowTitle() != frm.AppCaption, "caption: " + frm.windowTitle());
        seen.removeAll("");
        return seen.join("; ");
    }
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void window_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");
        // Words ("x=word", $x in rows), rows ("name | steps | State() after them", "-": nothing).
        // The caption ends in the program's name within the 254 characters that a later start's
        // search reads of it: the title gives way, control characters are left out.
        const QString table = R"(
f=SetFocus
o=FindText(,forward,nocase) SetFocus
n=FindText(lune,forward,nocase)
F=remember, F11, shown full
P=remember, page full, shown full
z=status: Zoom :
S=status: http://b/; link: http://b/
s=status:http://127.0.0.1/avant.html
u= - Navigateur Ulmeco
command: Alt+P | Alt+P | $f GoBack
command: Alt+Right | Alt+Right | $f GoForward
command: F5 | F5 | $f Refresh
command: Alt+T | Alt+T | $f Stop
command: home button's main part | click:Bouton5 | $f Navigate(http://127.0.0.1:8080/accueil.html)
command: Alt+C | Alt+C | $f GoSearch
command: Ctrl+P | Ctrl+P | $f ExecWB(6,0)
command: Alt+R | Alt+R | $f ExecWB(7,0)
command: Ctrl+S | Ctrl+S | $f ExecWB(4,0)
command: About button | click:Bouton10 | $f About
command: Alt+M | Alt+M | $f Navigate(http://127.0.0.1:8080/courrier.html)
command: Alt+F closes | Alt+F | SetFocus; closed
Escape: idle page gets it | page Esc | key Esc
Escape: stops a load | begin, page Esc | $f Stop; progress 0/100
Escape: find bar before full screen | F11, Ctrl+F, clear, Esc | $o; full screen
full screen: F11, Escape | $F, Esc | as before
full screen: page asks, Escape | $P, Esc, page normal | ExitFullScreen; as before
full screen: F11 outlasts the page | $F, page full, page normal, F11 | as before
full screen: maximized comes back | maximize, $F, F11 | as before
find: several | matches:3, Ctrl+F, type:lun, clear, type:e | $n; find bar: 3 résultats
find: one | matches:1, Ctrl+F, type:lun, clear, type:e | $n; find bar: 1 résultat
find: none | Ctrl+F, type:lun, clear, type:e | $n; find bar: Aucun résultat
progress: Terminé hides | begin, progress:70/100, status:Terminé | status: Terminé
progress: maximum below one hidden | progress:10/-2147483647 | -
zoom: Ctrl++ | Ctrl++ | SetZoomFactor(1.1); $z 110 % (goes)
zoom: none past the smallest | $m, clear, Ctrl+- | $z 25 % (goes)
zoom: none past the largest | $p, clear, Ctrl++ | $z 500 % (goes)
zoom: text goes | Ctrl++, clear, zoom text gone | -
status: address | $s, status:http://b/, new window | Navigate(http://b/); $S
status: javascript | $s, status:javascript:void(0), new window | opened; status: javascript:void(0)
caption: failing read | navigated | -
caption: one character too many | title:$xb | caption: $x$u
caption: a pair counts as one | title:$y$eb | caption: $y$e$u
caption: a pair never split | title:$x$e | caption: $x$u
caption: control characters | title:$k | caption: [31m$u)";
        std::map<QChar, QString> word;
        for (const QString& line : table.split('\n', Qt::SkipEmptyParts)) {
            line.contains(" | ") ? void() : void(word[line[0]] = line.mid(2));
        }
        word['x'] = QString(234, u'a'), word['y'] = QString(233, u'a');
        word['e'] = QString::fromUtf16(u"\U0001F600");
        word['k'] = QString::fromUtf16(u"\0\x01\x1B[31m\x7F\x85\n\t", 11);
        word['m'] = QStringList(7, "Ctrl+-").join(", "),
        word['p'] = QStringList(9, "Ctrl++").join(", ");
        const auto expand = [&word](QString text) {
            for (qsizetype at; (at = text.indexOf('$')) >= 0;) {
                text.replace(at, 2, word.at(text[at + 1]));
            }
            return text == "-" ? QString() : text;
        };
        for (const QString& line : table.split('\n', Qt::SkipEmptyParts)) {
            const QStringList cells = line.split(" | ");
            if (cells.size() == 3) {
                QTest::addRow("%s", qPrintable(cells[0])) << expand(cells[1]) << expand(cells[2]);
            }
        }
        const QString address = "http://" + QString(1 << 20, u'a');
        QTest::newRow("status: a megabyte of address")
            << "remember, status:" + address + ", new window"
            << Short("Navigate(" + address + ")") +
                   "; as before; status: " + Short(address.left(2048)) +
                   "; link: " + Short(address);
    }
    void window() {
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        Window w;
        QVERIFY(w.Show());
        w.Do(steps);
        QTRY_COMPARE(w.State(), expected); // access keys click their button a moment later
    }

    // The rule on twips after the outer widths the window manager reports, one size change after
    // another (a granted request is reported back at once): the requests, the last width asked
    // for and the controls laid out.
    void layout_data() {
        QTest::addColumn<QList<float>>("window"); // height, state, screen, granted, outer widths
        QTest::addColumn<QString>("laidOut");
        const auto row = [](const char* name, const QList<float>& window, const char* laidOut) {
            QTest::newRow(name) << window << QString(laidOut);
        };
        row("narrow is widened", {8280, 0, 0, 1, 14000}, "1x15000: 14860x6720, 13900+960, 2700");
        row("widening refused", {8280, 0, 0, 0, 14000}, "1x15000: 13860x6720, 12900+960, 1700");
        row("narrow screen: toolbar narrowed", {8280, 0, 12000, 1, 11000},
            "1x12000: 11860x6720, 10911.2+948.8, 0");
        row("maximized at 800 x 600", {8490, 2, 12120, 1, 12120},
            "0x0: 11980x6930, 11021.6+958.4, 0");
        row("requests: tiling keeps its tile", {8280, 0, 0, 1, 14000, 14000, 14000},
            "1x15000: 13860x6720, 12900+960, 1700");
        row("requests: granted, then narrowed again", {8280, 0, 0, 1, 14000, 15000, 14000},
            "2x15000: 14860x6720, 13900+960, 2700");
    }
    void layout() {
        QFETCH(QList<float>, window);
        QFETCH(QString, laidOut);
        browser::Widening widening;
        browser::LayoutInput in{};
        int requests = 0;
        float asked = 0;
        const browser::Widening::SetWidth setWidth = [&](float width) { // nested: asks nothing
            return ++requests,
                   asked = width,
                   window[3] != 0 ? widening.Widen({width, window[0], int(window[1])}, setWidth)
                                  : in.OuterWidth;
        };
        for (const float outer : window.mid(4)) {
            in = {outer, window[0], int(window[1])};
            in.ScreenWidth = window[2];
            in.OuterWidth = widening.Widen(in, setWidth);
        }
        in.AboutButtonLeft = 10080 * browser::ToolbarScale(in.OuterWidth); // as the window does
        in.AboutButtonWidth = 960 * browser::ToolbarScale(in.OuterWidth);
        const browser::LayoutResult r = browser::FormResizeLayout(in);
        const auto t = [](float twips) { return QString::number(std::round(twips * 10) / 10); };
        QCOMPARE(QString("%1x%2: %3x%4, %5+%6, %7")
                     .arg(requests)
                     .arg(t(asked), t(r.WebViewWidth), t(r.WebViewHeight), t(r.CloseButtonLeft),
                          t(r.CloseButtonWidth), t(r.ProgressWidth)),
                 laidOut);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
