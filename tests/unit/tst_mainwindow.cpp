// The main window on a fake web view: its commands and keys, Escape, full screen, finding text,
// the caption, status text and progress bar from the page's events, the zoom and the layout.
#include "browser/FindBar.h"
#include "browser/Layout.h"
#include "browser/PageTools.h"
#include "browser/SplitButton.h"
#include "platform/StatusText.h"
#include "platform/Twips.h"
#include "support/MainWindowFixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <functional>
#include <map>

namespace {

// Counts the Escape presses that reach a widget.
struct EscapeCounter : QObject {
    int Presses = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        Presses += event->type() == QEvent::KeyPress &&
                   static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape;
        return false;
    }
};

struct Window : MainWindowFixture {
    browser::PageTools& tools = frm.Tools();
    EscapeCounter PageEscapes;
    QString Before; // the window's look when remembered
    Twips TwipsBefore{};

    Window() {
        frm.WB->installEventFilter(&PageEscapes);
        frm.LinkUrls[3] = "www.exemple.fr";
        frm.UpdateCaption(); // as before any page
    }
    // A row's steps, separated by ", ": page events, controls used, window states; anything
    // else is keys pressed where the keyboard is.
    void Do(const QString& steps) {
        const std::map<QString, std::function<void()>> fixed{
            {"begin", [this] { emit web.DownloadBegin(); }},
            {"end", [this] { emit web.DownloadComplete(); }},
            {"document", [this] { emit web.DocumentComplete({}); }},
            {"navigated", [this] { emit web.NavigateComplete({}); }},
            {"page full", [this] { emit web.FullScreenRequested(true); }},
            {"page normal", [this] { emit web.FullScreenRequested(false); }},
            {"page Esc", [this] { QTest::keyClick(frm.WB, Qt::Key_Escape); }},
            {"clear", [this] { web.Calls.clear(); }},
            {"engine zoom reset", [this] { web.Zoom = 1; }},
            {"zoom text gone", [this] { QTRY_VERIFY(!tools.ZoomTextPending()); }},
            {"remember", [this] { Before = Look(), TwipsBefore = LaidOut(); }},
            // The layout rule waits meanwhile.
            {"shown full", [this] { QTRY_VERIFY(ShownFull() && LaidOut() == TwipsBefore); }},
            {"show", [this] { QVERIFY(Show()); }},
            {"maximize", [this] { frm.setWindowState(Qt::WindowMaximized); }},
            {"minimize", [this] { frm.setWindowState(Qt::WindowMinimized); }},
            {"restore", [this] { frm.setWindowState(Qt::WindowNoState); }},
        };
        for (const QString& step : steps.split(", ", Qt::SkipEmptyParts)) {
            const QString arg = step.section(':', 1);
            const int n = arg.section(QRegularExpression("[/x]"), 0, 0).toInt();
            const int m = arg.section(QRegularExpression("[/x]"), 1).toInt();
            if (fixed.count(step) != 0) {
                fixed.at(step)();
            } else if (step.startsWith("status:")) {
                emit web.StatusTextChange(arg);
            } else if (step.startsWith("progress:")) {
                emit web.ProgressChange(n, m);
            } else if (step.startsWith("matches:")) {
                web.Matches = n;
            } else if (step.startsWith("click:")) { // a toolbar button's index, or a name
                QAbstractButton* button = frm.findChild<QAbstractButton*>(arg);
                QTest::mouseClick(button ? button : frm.Bouton[n], Qt::LeftButton);
            } else if (step.startsWith("menu:")) {
                frm.MLink[n]->trigger();
            } else if (step.startsWith("focus:")) {
                frm.Bouton[n]->setFocus();
            } else if (step.startsWith("type:")) {
                QTest::keyClicks(QApplication::focusWidget(), arg);
            } else if (step.startsWith("resize:")) { // to outer twips, with the designed frame
                const QSize size(platform::TwipsToPixelsX(n - 120),
                                 platform::TwipsToPixelsY(m - 510));
                frm.resize(size);
                if (!frm.isVisible()) {
                    frm.Form_Resize();
                }
            } else {
                QTest::keySequence(QApplication::focusWidget(), QKeySequence(step));
            }
        }
    }
    // What full screen changes: the window's state and bounds, the controls shown, the web
    // view's place and the twips laid out.
    int ControlsShown() const {
        return frm.StatusBar->isVisible() +
               std::count_if(frm.Bouton.begin(), frm.Bouton.end(),
                             [](QWidget* b) { return b->isVisible(); });
    }
    QString Look() const {
        QString look;
        const Twips laidOut = LaidOut();
        QDebug(&look) << frm.windowState() << frm.geometry() << frm.WB->geometry()
                      << ControlsShown() << QList<float>(laidOut.begin(), laidOut.end());
        return look;
    }
    bool ShownFull() const {
        return tools.IsFullScreen() && frm.isFullScreen() && ControlsShown() == 0 &&
               frm.WB->geometry() == frm.rect();
    }
    // The calls asked of the web view, then what else the window shows.
    QString State() const {
        QStringList seen;
        if (!web.Calls.isEmpty()) {
            seen << web.Calls.join(' ');
        }
        const auto* bar = frm.findChild<browser::FindBar*>();
        const bool barShown = bar && bar->isVisible();
        QWidget* keyboard = barShown ? static_cast<QWidget*>(bar->Text) : frm.WB;
        if (!frm.isVisible()) {
            seen << "closed";
        } else if (QApplication::focusWidget() != keyboard) {
            seen << "focus elsewhere";
        }
        if (barShown) {
            seen << "find bar: " + bar->Count->text();
        }
        if (tools.IsFullScreen()) {
            seen << "full screen";
        }
        if (PageEscapes.Presses > 0) {
            seen << QString("page Esc %1").arg(PageEscapes.Presses);
        }
        if (!Before.isEmpty() && Look() == Before) {
            seen << "as before";
        }
        return seen.join("; ");
    }
};

void Columns() {
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QString>("expected");
}
void Row(const char* name, const QString& steps, const QString& expected) {
    QTest::newRow(name) << steps << expected;
}
// Takes the row's steps on a window, shown first unless asked not to, until seen(window) is as
// expected (access keys click their button a moment later).
template <typename Seen> void Check(Seen seen, bool show = true) {
    QFETCH(QString, steps);
    QFETCH(QString, expected);
    Window w;
    if (show) {
        QVERIFY(w.Show());
    }
    w.Do(steps);
    QTRY_COMPARE(seen(w), expected);
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    // expected: the window's State().
    void actions_data() {
        Columns();
        const QString f = "SetFocus ", home = "Navigate(http://127.0.0.1:8080/accueil.html)";
        const QString mail = "Navigate(http://127.0.0.1:8080/courrier.html)";
        Row("Alt+F closes", "Alt+F", "SetFocus; closed");
        Row("Alt+P back", "Alt+P", f + "GoBack");
        Row("Alt+S forward", "Alt+S", f + "GoForward");
        Row("Alt+A refresh", "Alt+A", f + "Refresh");
        Row("Alt+T stop", "Alt+T", f + "Stop");
        Row("Alt+D home", "Alt+D", f + home);
        Row("Alt+C search", "Alt+C", f + "GoSearch");
        Row("Alt+I print", "Alt+I", f + "ExecWB(6,0)");
        Row("Alt+R preview", "Alt+R", f + "ExecWB(7,0)");
        Row("Alt+E save", "Alt+E", f + "ExecWB(4,0)");
        Row("Alt+M mail", "Alt+M", f + mail);
        Row("About button", "click:10", f + "About");
        Row("home button's main part", "click:5", f + home);
        Row("Alt+Left back", "Alt+Left", f + "GoBack");
        Row("Alt+Right forward", "Alt+Right", f + "GoForward");
        Row("F5 refresh", "F5", f + "Refresh");
        Row("Ctrl+R refresh", "Ctrl+R", f + "Refresh");
        Row("Ctrl+P print", "Ctrl+P", f + "ExecWB(6,0)");
        Row("Ctrl+S save", "Ctrl+S", f + "ExecWB(4,0)");
        Row("Alt+Home home", "Alt+Home", f + home);
        Row("F5 from a button", "focus:6, F5", f + "Refresh");
        Row("menu entry 0 is home", "menu:0", home + " SetFocus");
        Row("menu entry without scheme", "menu:3", "Navigate(www.exemple.fr) SetFocus");
        Row("menu entry without address", "menu:5", "SetFocus");
        // Escape pressed in the page is the page's unless the window has something to end.
        const QString findOff = "FindText(,forward,nocase) SetFocus";
        Row("Escape: idle page gets it", "page Esc", "page Esc 1");
        Row("Escape: ended load gives it back", "begin, end, page Esc", "page Esc 1");
        Row("Escape: stops a load", "begin, page Esc", f + "Stop");
        Row("Escape: find bar before the load", "begin, Ctrl+F, clear, page Esc", findOff);
        Row("Escape: find bar before full screen", "F11, Ctrl+F, clear, page Esc",
            findOff + "; full screen");
        // Full screen: the web view alone over the screen, then the window as it was.
        const auto full = [](const char* name, const QString& enter, const QString& leave,
                             const QString& expected) {
            Row(name, "remember, " + enter + ", shown full, " + leave, expected);
        };
        full("full screen: F11, F11", "F11", "F11", "as before");
        full("full screen: F11, Escape", "F11", "Esc", "as before");
        full("full screen: page asks, page ends", "page full", "page normal", "as before");
        full("full screen: page asks, Escape", "page full", "Esc, page normal",
             "ExitFullScreen; as before");
        full("full screen: page asks, F11", "page full", "F11", "ExitFullScreen; as before");
        full("full screen: F11 outlasts the page's", "F11, page full, page normal", "F11",
             "as before");
        Row("full screen: maximized comes back", "maximize, remember, F11, shown full, F11",
            "as before");
        // Find in the page: the keyboard stays in the bar while it is open.
        const QString lune = "matches:3, Ctrl+F, type:lune, clear, ";
        const QString found = "FindText(lune,forward,nocase)",
                      back = "FindText(lune,backward,nocase)";
        Row("find: several", "matches:3, Ctrl+F, type:lun, clear, type:e",
            found + "; find bar: 3 résultats");
        Row("find: one", "matches:1, Ctrl+F, type:lun, clear, type:e",
            found + "; find bar: 1 résultat");
        Row("find: none", "matches:0, Ctrl+F, type:lun, clear, type:e",
            found + "; find bar: Aucun résultat");
        Row("find: Enter, keypad Enter, Shift+Enter", lune + "Return, Enter, Shift+Return",
            found + " " + found + " " + back + "; find bar: 3 résultats");
        Row("find: Next and Previous", lune + "click:FindNext, click:FindNext, click:FindPrevious",
            found + " " + found + " " + back + "; find bar: 3 résultats");
        Row("find: match case",
            "matches:2, Ctrl+F, type:Lune, clear, click:FindMatchCase, Shift+Return",
            "FindText(Lune,forward,case) FindText(Lune,backward,case); find bar: 2 résultats");
        Row("find: erased text clears the highlight", "matches:4, Ctrl+F, type:a, clear, Backspace",
            "FindText(,forward,nocase); find bar: ");
        Row("find: Escape closes and clears", lune + "Esc", findOff);
        Row("find: close button", lune + "click:FindClose", findOff);
        Row("find: opened again, searches again", lune + "Esc, clear, Ctrl+F",
            found + "; find bar: 3 résultats");
    }
    void actions() {
        Check([](const Window& w) { return w.State(); });
    }

    void homeButtonMenu() {
        Window w;
        QVERIFY(w.Show());
        w.frm.MLink[2]->setVisible(true);
        w.frm.MLink[4]->setVisible(true);
        auto* home = qobject_cast<browser::SplitButton*>(w.frm.Bouton[5]);
        QTest::mousePress(home, Qt::LeftButton, {}, home->DropDownRect().center());
        QVERIFY(QTest::qWaitForWindowExposed(w.frm.MenuLiens));
        QCOMPARE(w.frm.MenuLiens->pos(), home->mapToGlobal(QPoint(0, home->height())));
        QList<QAction*> shown = w.frm.MenuLiens->actions();
        shown.removeIf([](const QAction* entry) { return !entry->isVisible(); });
        QCOMPARE(shown, (QList<QAction*>{w.frm.MLink[0], w.frm.MLink[2], w.frm.MLink[4]}));
        QCOMPARE(w.frm.MenuLiens->actionGeometry(w.frm.MLink[2]).top(), // hidden take no room
                 w.frm.MenuLiens->actionGeometry(w.frm.MLink[0]).bottom() + 1);
        w.frm.MenuLiens->close();
        QTest::mouseRelease(home, Qt::LeftButton, {}, home->DropDownRect().center());
        QVERIFY(w.web.Calls.isEmpty());
    }

    // The caption ends in the program's name within the 254 characters that a later start's
    // search reads of it: the title gives way, and control characters are left out.
    void caption_data() {
        QTest::addColumn<std::optional<QString>>("title");
        QTest::addColumn<QString>("shown"); // what the caption shows before its ending
        const auto row = [](const char* name, const std::optional<QString>& title,
                            const QString& shown) { QTest::newRow(name) << title << shown; };
        const qsizetype room = 254 - QString(" - Navigateur Ulmeco").size();
        const QString smile = QString::fromUtf16(u"\U0001F600"), a(room, u'a');
        row("title", QString("Relevés de compte"), "Relevés de compte");
        row("empty title", QString(), "");
        row("blank title", QString(" "), " ");
        row("failing read", std::nullopt, "");
        row("fits", a, a);
        row("one character too many", a + "b", a);
        row("a megabyte", QString(1 << 20, u'a'), a);
        row("a pair counts as one", a.left(room - 1) + smile + "b", a.left(room - 1) + smile);
        row("a pair never split", a + smile, a);
        row("line breaks and tabs", QString("a\nb\r\nc\td\n").repeated(500),
            QString("abcd").repeated(500).left(room));
        row("NUL and control characters", QString::fromUtf16(u"\0\x01\x1B[31m\x7F\x85", 9), "[31m");
        row("control characters only", QString::fromUtf16(u"\0\n\t", 3), "");
        row("lone surrogate at the end", QString::fromUtf16(u"abc\xD83D", 4),
            QString::fromUtf16(u"abc\xD83D", 4));
    }
    void caption() {
        QFETCH(std::optional<QString>, title);
        QFETCH(QString, shown);
        Window w;
        w.web.Title = title;
        w.web.RaiseNavigateComplete(QStringLiteral("http://127.0.0.1/"));
        QVERIFY(w.frm.windowTitle() == (shown.isEmpty() ? "" : shown + " - ") + w.frm.AppCaption);
    }

    // remembered: the link that a new window opens in this one instead; none: it opens.
    void statusText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("remembered");
        const auto row = [](const char* name, const QString& text, const QString& remembered) {
            QTest::newRow(name) << text << remembered;
        };
        const QString before = "http://127.0.0.1/avant.html",
                      huge = before + QString(1 << 20, u'a');
        row("address", "http://127.0.0.1/b.html", "http://127.0.0.1/b.html");
        row("http alone", "http", "http");
        row("capitalised scheme", "HTTP://127.0.0.1/b.html", before);
        row("shorter than http", "htt", before);
        row("javascript", "javascript:void(0)", "");
        row("shorter than javascript", "javascrip", before);
        row("capitalised javascript", "JavaScript:ouvrir()", before);
        row("mail address: the pointer left", "mailto:compta@127.0.0.1", before);
        row("empty: the pointer left", "", before);
        row("a megabyte of address", huge, huge);
        row("a megabyte of script and lines", "javascript:" + QString(1 << 20, u'\n'), "");
    }
    void statusText() {
        QFETCH(QString, text);
        QFETCH(QString, remembered);
        Window w;
        w.frm.resize(800, 600);
        QVERIFY(w.Show());
        const QSize size = w.frm.size();
        w.Do("status:http://127.0.0.1/avant.html");
        emit w.web.StatusTextChange(text);
        QVERIFY(w.StatusText() == platform::ShownStatusText(text) &&
                text.startsWith(w.StatusText()));
        QVERIFY(w.frm.LastLinkUrl == remembered);
        QCOMPARE(w.frm.size(), size); // a long text does not widen the window
        // Each new window asked for opens the link here, however often.
        const QStringList opened(remembered.isEmpty() ? 0 : 2, "Navigate(" + remembered + ")");
        QCOMPARE(w.web.RaiseNewWindow() + w.web.RaiseNewWindow(), opened.size());
        QVERIFY(w.web.Calls == opened);
    }

    // expected: value/maximum.
    void progress_data() {
        Columns();
        Row("download begin shows it from 0", "progress:70/100, begin", "0/100");
        Row("download complete hides it", "begin, progress:70/100, end", "hidden 0/100");
        Row("document complete hides it", "begin, progress:70/100, document", "hidden 0/100");
        Row("Terminé hides it", "begin, progress:70/100, status:Terminé", "hidden 0/100");
        Row("terminé in lower case does not", "progress:70/100, status:terminé", "70/100");
        Row("navigation done hides it", "begin, progress:30/100, navigated", "hidden 0/100");
        Row("progress after navigation", "begin, navigated, progress:50/100", "50/100");
        Row("maximum below one ignored", "progress:30/200, progress:10/0", "30/200");
        Row("maximum below one shows nothing", "progress:10/-2147483647", "hidden 0/100");
    }
    void progress() {
        Check([](const Window& w) {
            return (w.ProgressShown() ? "" : "hidden ") +
                   QString("%1/%2").arg(w.frm.PBar->value()).arg(w.frm.PBar->maximum());
        });
    }

    // expected: percent | factor | factors asked | status text, "(goes)" while it is the zoom's.
    void zoom_data() {
        Columns();
        Row("Ctrl++", "Ctrl++", "110 | 1.1 | 1 | Zoom : 110 % (goes)");
        Row("Ctrl+=", "Ctrl+=", "110 | 1.1 | 1 | Zoom : 110 % (goes)");
        Row("Ctrl+-", "Ctrl+-", "90 | 0.9 | 1 | Zoom : 90 % (goes)");
        Row("Ctrl+0 resets", "Ctrl++, Ctrl++, Ctrl+0", "100 | 1 | 3 | Zoom : 100 % (goes)");
        Row("nothing below the smallest", QStringList(8, "Ctrl+-").join(", "),
            "25 | 0.25 | 7 | Zoom : 25 % (goes)");
        Row("nothing above the largest", QStringList(10, "Ctrl++").join(", "),
            "500 | 5 | 9 | Zoom : 500 % (goes)");
        Row("kept across navigation", "Ctrl++, navigated", "110 | 1.1 | 1 | Zoom : 110 % (goes)");
        Row("set again where the engine reset it", "Ctrl++, engine zoom reset, navigated",
            "110 | 1.1 | 2 | Zoom : 110 % (goes)");
        Row("zoom text goes after a while", "Ctrl++, zoom text gone", "110 | 1.1 | 1 | ");
        Row("page's status text replaces it", "Ctrl+-, status:http://127.0.0.1/",
            "90 | 0.9 | 1 | http://127.0.0.1/");
    }
    void zoom() {
        Check([](const Window& w) {
            return QString("%1 | %2 | %3 | %4%5")
                .arg(w.tools.ZoomPercent())
                .arg(w.web.ZoomFactor())
                .arg(w.web.Calls.filter("SetZoomFactor").size())
                .arg(w.StatusText(), w.tools.ZoomTextPending() ? " (goes)" : "");
        });
    }

    // The rule on twips: the outer width asked for (0: none) and the controls laid out.
    void layout_data() {
        QTest::addColumn<QList<float>>("window"); // outer width, height, state, screen, granted
        QTest::addColumn<QString>("laidOut");
        const auto row = [](const char* name, const QList<float>& window, const char* laidOut) {
            QTest::newRow(name) << window << QString(laidOut);
        };
        row("narrow is widened", {14000, 8280, 0, 0, 1},
            "asked 15000: web 14860x6720, close 13900+960, bar 2700");
        row("wide", {20000, 12000, 0, 28800, 1},
            "asked 0: web 19860x10440, close 18900+960, bar 7700");
        row("height below the toolbar", {16000, 900, 0, 0, 1},
            "asked 0: web 15860x0, close 14900+960, bar 3700");
        row("widening refused", {14000, 8280, 0, 0, 0},
            "asked 15000: web 13860x6720, close 12900+960, bar 1700");
        row("narrow screen: toolbar narrowed", {11000, 8280, 0, 12000, 1},
            "asked 12000: web 11860x6720, close 10911.2+948.8, bar 0");
        row("maximized at 800 x 600", {12120, 8490, 2, 12120, 1},
            "asked 0: web 11980x6930, close 11021.6+958.4, bar 0");
        row("minimized left alone", {100, 100, 1, 0, 1}, "asked 0: not applied");
    }
    void layout() {
        QFETCH(QList<float>, window);
        QFETCH(QString, laidOut);
        browser::LayoutInput input{window[0], window[1], int(window[2])};
        input.ScreenWidth = window[3];
        float asked = 0;
        input.OuterWidth = browser::Widening().Widen(input, [&](float target) {
            asked = target;
            return window[4] != 0 ? target : window[0];
        });
        // Bouton(10) as the window places it before the rule reads it.
        input.AboutButtonLeft = 10080 * browser::ToolbarScale(input.OuterWidth);
        input.AboutButtonWidth = 960 * browser::ToolbarScale(input.OuterWidth);
        const browser::LayoutResult r = browser::FormResizeLayout(input);
        const auto t = [](float twips) { return QString::number(std::round(twips * 10) / 10); };
        QCOMPARE(QString("asked %1: ").arg(asked) +
                     (r.Apply
                          ? QString("web %1x%2, close %3+%4, bar %5")
                                .arg(t(r.WebViewWidth), t(r.WebViewHeight), t(r.CloseButtonLeft),
                                     t(r.CloseButtonWidth), t(r.ProgressWidth))
                          : "not applied"),
                 laidOut);
        QVERIFY(!r.Apply || r.ProgressLeft == input.AboutButtonLeft + input.AboutButtonWidth + 60);
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
        browser::Widening::SetWidth setWidth = [&](float target) {
            ++asked; // the nested pass that setting the width raises asks nothing
            return widening.Widen({target, 8280, 0}, setWidth);
        };
        for (const float width : widths) {
            widening.Widen({width, 8280, 0}, setWidth);
        }
        QCOMPARE(asked, requests);
    }

    // The window lays itself out by the rule at the width it has, each control inside, clear of
    // the others. The offscreen screen is 800 x 600 pixels: 12000 twips, below the minimum width.
    void windowAppliesRule_data() {
        Columns();
        Row("narrow: widened to the screen", "resize:10995x8280", "12000");
        Row("wide", "resize:20010x12015", "20010");
        Row("lower than the toolbar", "resize:16005x960", "16005");
        Row("shown at design size", "show", "12000");
        Row("find bar open", "show, Ctrl+F, resize:20010x12015", "20010");
        Row("restored from minimized",
            "resize:20010x12015, show, minimize, resize:18000x9015, restore", "18000");
    }
    void windowAppliesRule() {
        Check(
            [](const Window& w) {
                const browser::TwipsRect about = w.frm.Twips(w.frm.Bouton[10]);
                const browser::LayoutResult r = browser::FormResizeLayout(
                    {w.frm.FormWidth(), w.frm.FormHeight(), 0, about.Left, about.Width});
                const MainWindowFixture::Twips rule{0,
                                                    795,
                                                    r.WebViewWidth,
                                                    r.WebViewHeight,
                                                    r.CloseButtonLeft,
                                                    r.CloseButtonWidth,
                                                    r.ProgressLeft,
                                                    240,
                                                    r.ProgressWidth,
                                                    315};
                const auto* bar = w.frm.findChild<browser::FindBar*>();
                return QString::number(w.frm.FormWidth()) +
                       (w.LaidOut() == rule ? "" : " not by the rule") +
                       (w.frm.FormHeight() > 1560 ? ControlsMisplaced(w.frm) : "") +
                       (bar && !w.frm.WB->geometry().contains(bar->geometry()) ? " find bar outside"
                                                                               : "");
            },
            false);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
