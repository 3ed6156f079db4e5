// The main window on a fake web view: its commands and keys, Escape, full screen, finding text,
// the caption, status text and progress bar from the page's events, the zoom and the layout.
#include "browser/FindBar.h"
#include "browser/Layout.h"
#include "browser/PageTools.h"
#include "browser/SplitButton.h"
#include "support/MainWindowFixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
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
    Twips TwipsBefore{};

    Window() {
        frm.LinkUrls[3] = "www.exemple.fr";
        frm.UpdateCaption(); // as before any page
    }
    static int N(const QString& numbers, int i) { return numbers.section('/', i, i).toInt(); }
    // A row's steps, separated by ", ": "name" or "name:argument"; other steps are keys pressed
    // where the keyboard is.
    void Do(const QString& steps) {
        const std::map<QString, std::function<void(const QString&)>> acts{
            {"begin", [this](auto) { emit web.DownloadBegin(); }},
            {"end", [this](auto) { emit web.DownloadComplete(); }},
            {"document", [this](auto) { emit web.DocumentComplete({}); }},
            {"navigated", [this](auto) { emit web.NavigateComplete({}); }},
            {"title", [this](const QString& a) { web.Title = a, emit web.NavigateComplete({}); }},
            {"page full", [this](auto) { emit web.FullScreenRequested(true); }},
            {"page normal", [this](auto) { emit web.FullScreenRequested(false); }},
            {"page Esc", [this](auto) { QTest::keyClick(frm.WB, Qt::Key_Escape); }},
            {"status", [this](const QString& a) { emit web.StatusTextChange(a); }},
            {"progress", [this](const QString& a) { emit web.ProgressChange(N(a, 0), N(a, 1)); }},
            {"new window", [this](auto) { web.RaiseNewWindow() || (web.Calls << "opened", 1); }},
            {"matches", [this](const QString& a) { web.Matches = a.toInt(); }},
            {"clear", [this](auto) { web.Calls.clear(); }},
            {"engine zoom reset", [this](auto) { web.Zoom = 1; }},
            {"zoom text gone", [this](auto) { QTRY_VERIFY(!tools.ZoomTextPending()); }},
            {"click", [this](const QString& a) { QTest::mouseClick(Button(a), Qt::LeftButton); }},
            {"menu", [this](const QString& a) { frm.MLink[a.toInt()]->trigger(); }},
            {"focus", [this](const QString& a) { frm.Bouton[a.toInt()]->setFocus(); }},
            {"type", [](const QString& a) { QTest::keyClicks(QApplication::focusWidget(), a); }},
            {"remember", [this](auto) { Before = Look(), TwipsBefore = LaidOut(); }},
            {"shown full",
             [this](auto) { // the layout rule waits meanwhile
                 QTRY_VERIFY(frm.isFullScreen() && frm.WB->geometry() == frm.rect() &&
                             ControlsShown() == 0 && LaidOut() == TwipsBefore);
             }},
            {"maximize", [this](auto) { frm.setWindowState(Qt::WindowMaximized); }},
        };
        for (const QString& step : steps.split(", ", Qt::SkipEmptyParts)) {
            const auto act = acts.find(step.section(':', 0, 0));
            if (act != acts.end()) {
                act->second(step.section(':', 1));
            } else {
                QTest::keySequence(QApplication::focusWidget(), QKeySequence(step));
            }
        }
    }
    // A toolbar button by its index, or a control by its name.
    QWidget* Button(const QString& name) const {
        auto* named = frm.findChild<QAbstractButton*>(name);
        return named ? named : frm.Bouton[name.toInt()];
    }
    int ControlsShown() const {
        return frm.StatusBar->isVisible() +
               std::count_if(frm.Bouton.begin(), frm.Bouton.end(),
                             [](QWidget* b) { return b->isVisible(); });
    }
    // What full screen changes: the window's state and bounds, the controls shown, the web
    // view's place and the twips laid out.
    QString Look() const {
        QString look;
        const Twips laidOut = LaidOut();
        QDebug(&look) << frm.windowState() << frm.geometry() << frm.WB->geometry()
                      << ControlsShown() << QList<float>(laidOut.begin(), laidOut.end());
        return look;
    }
    // The calls asked of the web view and the keys it got, then what the window shows.
    QString State() const {
        const auto* bar = frm.findChild<browser::FindBar*>();
        const bool barShown = bar && bar->isVisible(), visible = frm.isVisible();
        const QWidget* keyboard = barShown ? static_cast<QWidget*>(bar->Text) : frm.WB;
        const QString status = Short(StatusText()) + (tools.ZoomTextPending() ? " (goes)" : "");
        QStringList seen{Short(web.Calls.join(' '))};
        const auto add = [&seen](bool shown, const QString& text) { seen << (shown ? text : ""); };
        add(!tools.IsFullScreen(), ControlsMisplaced(frm));
        add(!visible, "closed");
        add(visible && QApplication::focusWidget() != keyboard, "focus elsewhere");
        add(barShown, barShown ? "find bar: " + bar->Count->text() : "");
        add(tools.IsFullScreen(), "full screen");
        add(!Before.isEmpty() && Look() == Before, "as before");
        add(ProgressShown(),
            QString("progress %1/%2").arg(frm.PBar->value()).arg(frm.PBar->maximum()));
        add(!StatusText().isEmpty(), "status: " + status);
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
    // expected: the window's State() once the steps are taken on the shown window.
    void window_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char* name, const QString& steps, const QString& expected) {
            QTest::newRow(name) << steps << expected;
        };
        const QString f = "SetFocus ", home = "Navigate(http://127.0.0.1:8080/accueil.html)";
        row("Alt+F closes", "Alt+F", "SetFocus; closed");
        row("Alt+P back", "Alt+P", f + "GoBack");
        row("Alt+S forward", "Alt+S", f + "GoForward");
        row("Alt+A refresh", "Alt+A", f + "Refresh");
        row("Alt+T stop", "Alt+T", f + "Stop");
        row("Alt+D home", "Alt+D", f + home);
        row("Alt+C search", "Alt+C", f + "GoSearch");
        row("Alt+I print", "Alt+I", f + "ExecWB(6,0)");
        row("Alt+R preview", "Alt+R", f + "ExecWB(7,0)");
        row("Alt+E save", "Alt+E", f + "ExecWB(4,0)");
        row("Alt+M mail", "Alt+M", f + "Navigate(http://127.0.0.1:8080/courrier.html)");
        row("About button", "click:10", f + "About");
        row("home button's main part", "click:5", f + home);
        row("Alt+Left back", "Alt+Left", f + "GoBack");
        row("Alt+Right forward", "Alt+Right", f + "GoForward");
        row("F5 refresh", "F5", f + "Refresh");
        row("Ctrl+R refresh", "Ctrl+R", f + "Refresh");
        row("Ctrl+P print", "Ctrl+P", f + "ExecWB(6,0)");
        row("Ctrl+S save", "Ctrl+S", f + "ExecWB(4,0)");
        row("Alt+Home home", "Alt+Home", f + home);
        row("F5 from a button", "focus:6, F5", f + "Refresh");
        row("menu entry 0 is home", "menu:0", home + " SetFocus");
        row("menu entry without scheme", "menu:3", "Navigate(www.exemple.fr) SetFocus");
        row("menu entry without address", "menu:5", "SetFocus");
        // Escape in the page is the page's unless the window has something to end.
        const QString off = "FindText(,forward,nocase) SetFocus";
        row("Escape: idle page gets it", "page Esc", "key Esc");
        row("Escape: ended load gives it back", "begin, end, page Esc", "key Esc");
        row("Escape: stops a load", "begin, page Esc", f + "Stop; progress 0/100");
        row("Escape: find bar before the load", "begin, Ctrl+F, clear, page Esc",
            off + "; progress 0/100");
        row("Escape: find bar before full screen", "F11, Ctrl+F, clear, Esc",
            off + "; full screen");
        // Full screen: the web view alone over the screen, then the window as it was.
        const QString full = "remember, F11, shown full, ",
                      page = "remember, page full, shown full, ";
        row("full screen: F11, F11", full + "F11", "as before");
        row("full screen: F11, Escape", full + "Esc", "as before");
        row("full screen: page asks, page ends", page + "page normal", "as before");
        row("full screen: page asks, Escape", page + "Esc, page normal",
            "ExitFullScreen; as before");
        row("full screen: page asks, F11", page + "F11", "ExitFullScreen; as before");
        row("full screen: F11 outlasts the page", full + "page full, page normal, F11",
            "as before");
        row("full screen: maximized comes back", "maximize, " + full + "F11", "as before");
        // Find in the page: the keyboard stays in the bar while it is open.
        const QString lune = "matches:3, Ctrl+F, type:lune, clear, ",
                      three = "; find bar: 3 résultats";
        const QString fwd = "FindText(lune,forward,nocase)",
                      moves = fwd + " " + fwd + " FindText(lune,backward,nocase)";
        row("find: several", "matches:3, Ctrl+F, type:lun, clear, type:e", fwd + three);
        row("find: one", "matches:1, Ctrl+F, type:lun, clear, type:e",
            fwd + "; find bar: 1 résultat");
        row("find: none", "Ctrl+F, type:lun, clear, type:e", fwd + "; find bar: Aucun résultat");
        row("find: Enter, keypad Enter, Shift+Enter", lune + "Return, Enter, Shift+Return",
            moves + three);
        row("find: Next, Previous", lune + "click:FindNext, click:FindNext, click:FindPrevious",
            moves + three);
        row("find: match case",
            "matches:2, Ctrl+F, type:Lune, clear, click:FindMatchCase, Shift+Return",
            "FindText(Lune,forward,case) FindText(Lune,backward,case); find bar: 2 résultats");
        row("find: text erased", "matches:4, Ctrl+F, type:a, clear, Backspace",
            "FindText(,forward,nocase); find bar: ");
        row("find: Escape closes and clears", lune + "Esc", off);
        row("find: close button", lune + "click:FindClose", off);
        row("find: opened again, searches again", lune + "Esc, clear, Ctrl+F", fwd + three);
        // The progress bar.
        row("progress: download begins from 0", "progress:70/100, begin", "progress 0/100");
        row("progress: download complete hides", "begin, progress:70/100, end", "");
        row("progress: document complete hides", "begin, progress:70/100, document", "");
        row("progress: Terminé hides", "begin, progress:70/100, status:Terminé", "status: Terminé");
        row("progress: terminé does not", "progress:70/100, status:terminé",
            "progress 70/100; status: terminé");
        row("progress: navigation done hides", "begin, progress:30/100, navigated", "");
        row("progress: after navigation", "begin, navigated, progress:50/100", "progress 50/100");
        row("progress: maximum below one ignored", "progress:30/200, progress:10/0",
            "progress 30/200");
        row("progress: maximum below one hidden", "progress:10/-2147483647", "");
        // The zoom: the factor asked of the view, the zoom text that goes after a while.
        const auto zoom = [](const char* name, const QString& steps, const QString& calls,
                             int percent) {
            QTest::newRow(name) << steps
                                << calls + QString("status: Zoom : %1 % (goes)").arg(percent);
        };
        zoom("zoom: Ctrl++", "Ctrl++", "SetZoomFactor(1.1); ", 110);
        zoom("zoom: Ctrl+=", "Ctrl+=", "SetZoomFactor(1.1); ", 110);
        zoom("zoom: Ctrl+-", "Ctrl+-", "SetZoomFactor(0.9); ", 90);
        zoom("zoom: Ctrl+0 resets", "Ctrl++, clear, Ctrl+0", "SetZoomFactor(1); ", 100);
        zoom("zoom: none past the smallest",
             QStringList(7, "Ctrl+-").join(", ") + ", clear, Ctrl+-", "", 25);
        zoom("zoom: none past the largest", QStringList(9, "Ctrl++").join(", ") + ", clear, Ctrl++",
             "", 500);
        zoom("zoom: kept across navigation", "Ctrl++, clear, navigated", "", 110);
        zoom("zoom: set again after the engine's reset",
             "Ctrl++, clear, engine zoom reset, navigated", "SetZoomFactor(1.1); ", 110);
        row("zoom: text goes", "Ctrl++, clear, zoom text gone", "");
        row("zoom: page's status text replaces it", "Ctrl+-, clear, status:http://a/",
            "status: http://a/; link: http://a/");
        // Status text: the link that new windows open here instead ("opened": they open).
        const QString av = "http://127.0.0.1/avant.html", huge = QString(1 << 20, u'a');
        const auto link = [&](const char* name, const QString& text, const QString& link) {
            const QString opens = link.isEmpty() ? "opened" : "Navigate(" + link + ")";
            QStringList seen{opens + " " + opens, "status: " + text, "link: " + link};
            seen.removeAll("link: "), seen.removeAll("status: ");
            QTest::newRow(name) << "status:" + av + ", status:" + text + ", new window, new window"
                                << seen.join("; ");
        };
        link("status: address", "http://a/b.html", "http://a/b.html");
        link("status: http alone", "http", "http");
        link("status: capitalised scheme", "HTTP://a/b.html", av);
        link("status: shorter than http", "htt", av);
        link("status: javascript", "javascript:void(0)", "");
        link("status: shorter than javascript", "javascrip", av);
        link("status: capitalised javascript", "JavaScript:ouvrir()", av);
        link("status: mail address", "mailto:compta@a", av);
        link("status: empty", "", av);
        const QString address = "http://" + huge, script = "javascript:" + huge;
        row("status: a megabyte of address", "remember, status:" + address + ", new window",
            Short("Navigate(" + address + ")") +
                "; as before; status: " + Short(address.left(2048)) + "; link: " + Short(address));
        row("status: a megabyte of script", "remember, status:" + script + ", new window",
            "opened; as before; status: " + Short(script.left(2048)));
        // The caption ends in the program's name within the 254 characters that a later start's
        // search reads of it: the title gives way, and control characters are left out.
        const QString a(234, u'a'), smile = QString::fromUtf16(u"\U0001F600");
        const auto caption = [&](const char* name, const QString& title, const QString& shown) {
            QTest::newRow(name) << "title:" + title << "caption: " + shown + " - Navigateur Ulmeco";
        };
        caption("caption: title", "Relevés de compte", "Relevés de compte");
        row("caption: failing read", "navigated", "");
        caption("caption: blank", " ", " ");
        caption("caption: one character too many", a + "b", a);
        caption("caption: a megabyte", huge, a);
        caption("caption: a pair counts as one", a.left(233) + smile + "b", a.left(233) + smile);
        caption("caption: a pair never split", a + smile, a);
        caption("caption: control characters",
                QString::fromUtf16(u"\0\x01\x1B[31m\x7F\x85\n\t", 11), "[31m");
        caption("caption: lone surrogate", QString::fromUtf16(u"abc\xD83D", 4),
                QString::fromUtf16(u"abc\xD83D", 4));
    }
    void window() {
        QFETCH(QString, steps);
        QFETCH(QString, expected);
        Window w;
        QVERIFY(w.Show());
        w.Do(steps);
        QTRY_COMPARE(w.State(), expected); // access keys click their button a moment later
    }

    // The arrow of the home button drops the links menu below it.
    void homeButtonMenu() {
        Window w;
        QVERIFY(w.Show());
        auto* home = qobject_cast<browser::SplitButton*>(w.frm.Bouton[5]);
        QTest::mousePress(home, Qt::LeftButton, {}, home->DropDownRect().center());
        QVERIFY(QTest::qWaitForWindowExposed(w.frm.MenuLiens));
        QCOMPARE(w.frm.MenuLiens->pos(), home->mapToGlobal(QPoint(0, home->height())));
        w.frm.MenuLiens->close();
        QVERIFY(w.web.Calls.isEmpty());
    }

    // The rule on twips: the outer width asked for (0: none) and the controls laid out.
    void layout_data() {
        QTest::addColumn<QList<float>>("window"); // outer width, height, state, screen, granted
        QTest::addColumn<QString>("laidOut");
        const auto row = [](const char* name, const QList<float>& window, const char* laidOut) {
            QTest::newRow(name) << window << QString(laidOut);
        };
        row("narrow is widened", {14000, 8280, 0, 0, 1}, "15000: 14860x6720, 13900+960, 2700");
        row("wide", {20000, 12000, 0, 28800, 1}, "0: 19860x10440, 18900+960, 7700");
        row("height below the toolbar", {16000, 900, 0, 0, 1}, "0: 15860x0, 14900+960, 3700");
        row("widening refused", {14000, 8280, 0, 0, 0}, "15000: 13860x6720, 12900+960, 1700");
        row("narrow screen: toolbar narrowed", {11000, 8280, 0, 12000, 1},
            "12000: 11860x6720, 10911.2+948.8, 0");
        row("maximized at 800 x 600", {12120, 8490, 2, 12120, 1},
            "0: 11980x6930, 11021.6+958.4, 0");
        row("minimized left alone", {100, 100, 1, 0, 1}, "0: not applied");
    }
    void layout() {
        QFETCH(QList<float>, window);
        QFETCH(QString, laidOut);
        browser::LayoutInput in{window[0], window[1], int(window[2])};
        in.ScreenWidth = window[3];
        float asked = 0;
        in.OuterWidth = browser::Widening().Widen(
            in, [&](float width) { return asked = width, window[4] != 0 ? width : window[0]; });
        // Bouton(10) as the window places it before the rule reads it.
        in.AboutButtonLeft = 10080 * browser::ToolbarScale(in.OuterWidth);
        in.AboutButtonWidth = 960 * browser::ToolbarScale(in.OuterWidth);
        const browser::LayoutResult r = browser::FormResizeLayout(in);
        const auto t = [](float twips) { return QString::number(std::round(twips * 10) / 10); };
        const QString result = QString("%1x%2, %3+%4, %5")
                                   .arg(t(r.WebViewWidth), t(r.WebViewHeight), t(r.CloseButtonLeft),
                                        t(r.CloseButtonWidth), t(r.ProgressWidth));
        QCOMPARE(t(asked) + ": " + (r.Apply ? result : "not applied"), laidOut);
        QVERIFY(!r.Apply || r.ProgressLeft == in.AboutButtonLeft + in.AboutButtonWidth + 60);
    }

    // The outer widths the window manager reports, one size change after another: a granted
    // request is reported back at once; a refused one leaves the width as it was.
    void widthRequestsBounded_data() {
        QTest::addColumn<QList<float>>("widths");
        QTest::addColumn<int>("requests");
        QTest::newRow("tiling keeps its tile") << QList<float>{14000, 14000, 14000} << 1;
        QTest::newRow("another tile asks once more")
            << QList<float>{14000, 14000, 13000, 13000} << 2;
        QTest::newRow("granted, then narrowed again") << QList<float>{14000, 15000, 14000} << 2;
    }
    void widthRequestsBounded() {
        QFETCH(QList<float>, widths);
        QFETCH(int, requests);
        browser::Widening widening;
        int asked = 0;
        browser::Widening::SetWidth setWidth = [&](float width) {
            return ++asked, widening.Widen({width, 8280, 0}, setWidth); // nested: asks nothing
        };
        for (const float width : widths) {
            widening.Widen({width, 8280, 0}, setWidth);
        }
        QCOMPARE(asked, requests);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
