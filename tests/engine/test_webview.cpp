// The web view on the real WebKitGTK against the test's own server on 127.0.0.1: loads, titles,
// status texts, windows, mail links, downloads, credentials, certificates, stop, save, print, find.
#include "platform/web/CredentialsDialog.h"
#include "platform/web/Engine.h"
#include "platform/web/PopupWindow.h"
#include "platform/web/StoppedNotice.h"
#include "platform/web/WebContext.h"
#include "platform/web/WebKitView.h"
#include "support/Files.h"
#include "support/HttpServer.h"

#include "support/GtkLoop.h" // after HttpServer.h: X11 has a macro Status
#include <webkit2/webkit2.h>

#include <gtest/gtest.h>

namespace {

using testsupport::HttpServer;
using testsupport::operator<<;
using testsupport::WaitUntil;
using Strings = std::vector<std::string>;

constexpr char kDownloadBody[] = "relevé de compte\n";

// One window, one view, one server for the whole suite: each view starts a web process.
struct Suite : testing::Environment {
    HttpServer Server;
    testsupport::TempDir Folder;
    GtkWidget* Window = nullptr;
    std::unique_ptr<platform::WebKitView> View;
    Strings Events; // in order, as "StatusTextChange(text)" and the like
    bool CancelNewWindow = false;
    std::string Chosen;  // the save dialog's answer
    std::string Caption; // the title as the window last read it
    // Save paths proposed; the person or the desktop asked, in order; the last dialog's buttons.
    Strings Proposed, Asked, Labels;
    std::optional<platform::Credentials> Given;

    void SetUp() override;
    void Note(std::string event) { Events.push_back(std::move(event)); }
    void TearDown() override {
        for (platform::PopupWindow* popup : platform::PopupWindow::All())
            gtk_widget_destroy(popup->Window());
        View.reset();
        gtk_widget_destroy(Window);
    }
    int Count(const std::string& event) const {
        return static_cast<int>(std::count(Events.begin(), Events.end(), event));
    }
    bool Said(const std::string& text) const { return Count("StatusTextChange(" + text + ")") > 0; }
    // Loads an address (a path of the server, or a full address) and waits for its end; the
    // events kept begin with its start (a load still going before ends when it begins).
    bool Load(const std::string& at) {
        Events.clear();
        Caption = "<unread>";
        View->Navigate(at.starts_with("/") ? Server.Url(at) : at);
        return WaitUntil([this] {
            const auto begun = std::find(Events.rbegin(), Events.rend(), "DownloadBegin");
            const bool ended =
                begun != Events.rend() &&
                std::find(begun.base(), Events.end(), "DownloadComplete") != Events.end();
            if (ended)
                Events.erase(Events.begin(), begun.base() - 1);
            return ended;
        });
    }
    std::string Title() const { return View->DocumentTitle().value_or("<nothing>"); }
};

Suite* const S = static_cast<Suite*>(testing::AddGlobalTestEnvironment(new Suite));

// The buttons under a widget, with their labels.
using Labelled = std::vector<std::pair<std::string, GtkWidget*>>;
Labelled Buttons(GtkWidget* widget) {
    Labelled buttons;
    if (GTK_IS_BUTTON(widget)) {
        const char* label = gtk_button_get_label(GTK_BUTTON(widget));
        buttons.push_back({label ? label : "", widget});
    }
    g_autoptr(GList) children =
        GTK_IS_CONTAINER(widget) ? gtk_container_get_children(GTK_CONTAINER(widget)) : nullptr;
    for (GList* c = children; c != nullptr; c = c->next)
        for (auto& button : Buttons(GTK_WIDGET(c->data)))
            buttons.push_back(button);
    return buttons;
}

// The visible top-level window of this title, or of this type ("GtkPrintUnixDialog").
GtkWidget* Shown(const std::string& name) {
    g_autoptr(GList) windows = gtk_window_list_toplevels();
    for (GList* w = windows; w != nullptr; w = w->next) {
        const char* title = gtk_window_get_title(GTK_WINDOW(w->data));
        if (gtk_widget_get_visible(GTK_WIDGET(w->data)) &&
            ((title && name == title) || name == G_OBJECT_TYPE_NAME(w->data)))
            return GTK_WIDGET(w->data);
    }
    return nullptr;
}

// A person at the window, every 20 ms, also from the loop a dialog runs: each print dialog the
// engine opens and the credentials dialog are noted with their buttons' labels, and cancelled.
gboolean AnswerDialogs(gpointer) {
    for (const char* name : {"GtkPrintUnixDialog", "Identification requise"})
        if (GtkWidget* dialog = Shown(name)) {
            S->Asked.push_back(name);
            S->Labels.clear();
            GtkWidget* cancel = nullptr;
            for (const auto& [label, button] : Buttons(dialog)) {
                S->Labels.push_back(label);
                cancel = label == "A_nnuler" ? button : cancel;
            }
            cancel ? gtk_button_clicked(GTK_BUTTON(cancel))
                   : gtk_dialog_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL);
        }
    return G_SOURCE_CONTINUE;
}

void Suite::SetUp() {
    platform::PrepareEngine();
    ASSERT_TRUE(testsupport::InitGtk());
    Server.Route("/title", HttpServer::Html("Page avec titre", "<p>bonjour</p>"));
    Server.Route("/notitle", HttpServer::Html("", "<p>sans titre</p>"));
    Server.Route("/longtitle", HttpServer::Html("", "<script>document.title = 'x'.repeat(2e7)"
                                                    "</script>"));
    Server.Route("/links", HttpServer::Html("Liens", "<a href=/title style=display:block;"
                                                     "width:400px;height:200px>lien</a>"));
    Server.Route("/opened", HttpServer::Html("", "<script>document.title = 'opener:' + "
                                                 "(window.opener ? 'oui' : 'non')</script>"));
    Server.Route("/mail", HttpServer::Html("Courrier", "<script>setTimeout(() => location.href ="
                                                       " 'mailto:compta@example.org')</script>"));
    Server.Route("/download", {200,
                               {{"Content-Type", "application/octet-stream"},
                                {"Content-Disposition", "attachment; filename=\"releve.bin\""}},
                               kDownloadBody});
    // For dupont:secret; asked by the site, or by the proxy for a host that no network knows.
    Server.Route("/auth", [](const testsupport::HttpRequest& request) {
        const bool proxy = request.Headers.at("Host") == "orvane.test";
        const auto given = request.Headers.find(proxy ? "Proxy-Authorization" : "Authorization");
        if (given != request.Headers.end() && given->second == "Basic ZHVwb250OnNlY3JldA==")
            return HttpServer::Html("Espace membre", "bienvenue");
        return testsupport::HttpResponse{
            proxy ? 407 : 401,
            {{"Content-Type", "text/html; charset=utf-8"},
             {proxy ? "Proxy-Authenticate" : "WWW-Authenticate", "Basic realm=\"Ulmeco\""}},
            HttpServer::Html("Refusé", "non").Body};
    });
    Server.Route("/print", HttpServer::Html("", "<script>onload = () => setTimeout(() => { print();"
                                                " print(); print(); document.title = 'imprimé' })"
                                                "</script>"));
    Server.Route("/lune", HttpServer::Html("Lune", "lune Lune lune LUNE"));
    Server.Route("/never", {200, {{"Content-Type", "text/html"}}, "<p>", true});
    ASSERT_TRUE(Server.Listen());
    // Any host but the server's own goes to the server as a proxy: nothing leaves the machine.
    const char* const direct[] = {"127.0.0.1", nullptr};
    g_autoptr(WebKitNetworkProxySettings) proxy =
        webkit_network_proxy_settings_new(Server.Url("").c_str(), direct);
    webkit_website_data_manager_set_network_proxy_settings(
        webkit_web_context_get_website_data_manager(platform::SharedWebContext()),
        WEBKIT_NETWORK_PROXY_MODE_CUSTOM, proxy);
    platform::WebViewEvents events;
    events.DownloadBegin = [] { S->Note("DownloadBegin"); };
    events.DownloadComplete = [] { S->Note("DownloadComplete"); };
    // What the window's caption reads: the title at NavigateComplete, or when it comes later.
    events.NavigateComplete = [](auto&) { S->Note("NavigateComplete"), S->Caption = S->Title(); };
    events.TitleChange = [] { S->Caption = S->Title(); };
    events.DocumentComplete = [](auto&) { S->Note("DocumentComplete"); };
    events.StatusTextChange = [](auto& text) { S->Note("StatusTextChange(" + text + ")"); };
    events.ProgressChange = [](int, int max) { S->Note("ProgressChange/" + std::to_string(max)); };
    events.NewWindow = [](bool& cancel) { S->Note("NewWindow"), cancel = S->CancelNewWindow; };
    platform::WebViewServices services;
    services.ChooseSavePath = [](GtkWidget*, const std::string&, const std::string& proposed) {
        S->Proposed.push_back(proposed);
        return S->Chosen;
    };
    services.AskCredentials = [](GtkWidget*, const platform::CredentialsQuestion& question) {
        S->Asked.push_back(question.Host + (question.Proxy ? " proxy " : " ") + question.Realm);
        return S->Given;
    };
    services.OpenOutside = [](const std::string& address) { S->Asked.push_back(address); };
    View = std::make_unique<platform::WebKitView>(events, services);
    Window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_default_size(GTK_WINDOW(Window), 800, 600);
    gtk_container_add(GTK_CONTAINER(Window), View->Widget());
    gtk_widget_show_all(Window);
    ASSERT_TRUE(WaitUntil([this] { return gtk_widget_get_mapped(Window) != FALSE; }));
    g_timeout_add(20, AnswerDialogs, nullptr);
    // The engine's own failures, noted among the window's events.
    const auto failed = +[](WebKitWebView*, WebKitLoadEvent, char*, GError*, gpointer) {
        S->Note("load-failed");
        return FALSE;
    };
    g_signal_connect(View->Page(), "load-failed", G_CALLBACK(failed), nullptr);
}

struct LoadRow {
    std::string name, path, title;
    std::string asked = ""; // credentials (host, "proxy" if a proxy asks, realm) or a dialog
    bool given = false;     // credentials given when asked
};

class Load : public testing::TestWithParam<LoadRow> {};

// Each load raises the window's events in the order it expects; the window reads the document's
// own title, cut to a bounded length; the person is asked what the load needs: credentials as a
// site's or a proxy's question (refused, the server's refusal shows), one print dialog for a page
// printing again and again. In order: a given answer is kept, a refused proxy is not asked again.
TEST_P(Load, EventsInOrderTheDocumentsOwnTitleAndWhatThePersonIsAsked) {
    S->Asked.clear();
    S->Given =
        GetParam().given ? std::optional(platform::Credentials{"dupont", "secret"}) : std::nullopt;
    ASSERT_TRUE(S->Load(GetParam().path));
    ASSERT_TRUE(WaitUntil([] { return S->Caption == GetParam().title; }))
        << S->Caption.size() << " " << S->Caption.substr(0, 80);
    Strings seen;
    for (const std::string& event : S->Events)
        if (!event.starts_with("ProgressChange") && (seen.empty() || seen.back() != event))
            seen.push_back(event);
    EXPECT_EQ(seen, (Strings{"DownloadBegin", "NavigateComplete", "DocumentComplete",
                             "DownloadComplete", "StatusTextChange(Terminé)"}));
    EXPECT_GT(S->Count("ProgressChange/100"), 0);
    const std::string& asked = GetParam().asked; // once, or nothing
    EXPECT_EQ(S->Asked, Strings(!asked.empty(), asked));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Load,
    testing::Values(LoadRow{"with a title", "/title", "Page avec titre"},
                    LoadRow{"without a title: empty, not the address", "/notitle", ""},
                    LoadRow{"20 million characters read as the engine's first 1000", "/longtitle",
                            std::string(1000, 'x')},
                    LoadRow{"site asks, refused", "/auth", "Refusé", "127.0.0.1 Ulmeco"},
                    LoadRow{"site asks, given", "/auth", "Espace membre", "127.0.0.1 Ulmeco", true},
                    LoadRow{"proxy asks, as a proxy", "http://orvane.test/auth", "Espace membre",
                            "127.0.0.1 proxy Ulmeco", true},
                    LoadRow{"a page printing again and again: one print dialog", "/print",
                            "imprimé", "GtkPrintUnixDialog"}),
    testsupport::RowName<LoadRow>);

TEST(StatusText, ShowsTheLinkHoveredThenNothing) {
    ASSERT_TRUE(S->Load("/links"));
    int moves = 0;
    // The pointer moved onto a point of the page, as the window system tells the widget.
    const auto move = [&](bool onLink) {
        testsupport::Dispatch(
            GDK_MOTION_NOTIFY, gtk_widget_get_window(GTK_WIDGET(S->View->Page())),
            [&](GdkEvent& event) {
                event.motion.x = (onLink ? 100 : 600) + ++moves % 2;
                event.motion.y = onLink ? 100 : 400;
            },
            false);
    };
    ASSERT_TRUE(WaitUntil([&] { return move(true), S->Said(S->Server.Url("/title")); }))
        << testing::PrintToString(S->Events);
    S->Events.clear();
    ASSERT_TRUE(WaitUntil([&] { return move(false), S->Said(""); }));
}

struct NewWindowRow {
    std::string name;
    bool cancel;
};

class NewWindow : public testing::TestWithParam<NewWindowRow> {};

TEST_P(NewWindow, CancelledOpensNothingElseAWindowKeepingItsOpener) {
    S->CancelNewWindow = GetParam().cancel;
    ASSERT_TRUE(S->Load("/links"));
    webkit_web_view_evaluate_javascript(S->View->Page(),
                                        ("window.open('" + S->Server.Url("/opened") + "')").c_str(),
                                        -1, nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(WaitUntil([] { return S->Count("NewWindow") == 1; }));
    if (GetParam().cancel) { // a window opens within NewWindow's answer: none is coming
        ASSERT_TRUE(S->Load("/title"));
        EXPECT_TRUE(platform::PopupWindow::All().empty());
        return;
    }
    ASSERT_TRUE(WaitUntil([] { return platform::PopupWindow::All().size() == 1; }));
    GtkWidget* popup = platform::PopupWindow::All()[0]->Window();
    ASSERT_TRUE(WaitUntil([popup] { return Shown("opener:oui") == popup; }))
        << gtk_window_get_title(GTK_WINDOW(popup));
    EXPECT_EQ(S->Title(), "Liens");
    gtk_widget_destroy(popup);
    EXPECT_TRUE(platform::PopupWindow::All().empty());
}

INSTANTIATE_TEST_SUITE_P(Rows, NewWindow,
                         testing::Values(NewWindowRow{"cancelled: no window", true},
                                         NewWindowRow{"not cancelled: a window", false}),
                         testsupport::RowName<NewWindowRow>);

TEST(Mailto, GoesToTheDesktopNeverIntoThePage) {
    S->Asked.clear();
    ASSERT_TRUE(S->Load("/mail"));
    ASSERT_TRUE(WaitUntil([] { return !S->Asked.empty(); }));
    S->View->Navigate("mailto:direction@example.org");
    EXPECT_EQ(S->Asked, (Strings{"mailto:compta@example.org", "mailto:direction@example.org"}));
    EXPECT_EQ(S->Title(), "Courrier");
}

// A server of the test's own on a certificate made now, signed by itself.
TEST(Tls, CertificateErrorRefusedWithAFrenchPage) {
    const std::string key = S->Folder.FilePath("cle.pem"), cert = S->Folder.FilePath("cert.pem");
    ASSERT_EQ(0, testsupport::RunProgram({"openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt",
                                          "ec_paramgen_curve:P-256", "-nodes", "-subj",
                                          "/CN=127.0.0.1", "-keyout", key, "-out", cert}));
    g_autoptr(GTlsCertificate) certificate =
        g_tls_certificate_new_from_files(cert.c_str(), key.c_str(), nullptr);
    ASSERT_NE(certificate, nullptr);
    HttpServer secure;
    ASSERT_TRUE(secure.Listen(certificate));
    // Refused, the load fails and the French page follows. Under load the engine may drop a try
    // before it sees the certificate (load-failed) and show its own error page: asked again then.
    for (int tries = 0; tries < 5 && (tries == 0 || S->Count("load-failed") > 0); ++tries) {
        ASSERT_TRUE(S->Load(secure.Url("/")));
        ASSERT_TRUE(S->Count("load-failed") == 0 ||
                    WaitUntil([] { return S->Said(platform::kDoneStatusText); })); // its page
    }
    EXPECT_TRUE(WaitUntil([] { return S->Title() == "Connexion non sécurisée"; })) << S->Title();
}

// The credentials dialog's buttons read GTK's own French, and A_nnuler refuses.
TEST(French, CredentialsDialogButtonsFromGtksCatalogue) {
    EXPECT_EQ(platform::AskCredentials(S->Window, {"127.0.0.1", "Ulmeco", false}), std::nullopt);
    EXPECT_EQ(S->Labels, (Strings{"A_nnuler", "_Valider"}));
}

// Arrêter ends a load that never ends, and the status bar says so.
TEST(Stop, EndsALoadThatNeverEnds) {
    S->Events.clear();
    S->View->Navigate(S->Server.Url("/never"));
    ASSERT_TRUE(WaitUntil([] { // the engine has told the start, the server has the request
        const auto paths = S->Server.Paths();
        return S->Count("DownloadBegin") == 1 && std::count(paths.begin(), paths.end(), "/never");
    }));
    S->View->Stop();
    EXPECT_TRUE(WaitUntil([] { return S->Said("Chargement arrêté"); }))
        << testing::PrintToString(S->Events);
}

// What is saved lands in the file chosen, proposed under its own name, or nowhere; the page stays.
struct SaveRow {
    std::string name;
    bool download;      // the server's attachment; else the page itself (Enregistrer)
    std::string chosen; // in the suite's folder, without the extension the save adds; "": refused
    std::string added;  // the extension the save adds
    std::string proposed, said, written; // said: followed by the path unless refused
};

class Save : public testing::TestWithParam<SaveRow> {};

TEST_P(Save, LandsInTheFileChosenOrNowhere) {
    const SaveRow& row = GetParam();
    ASSERT_TRUE(S->Load("/title"));
    ASSERT_TRUE(WaitUntil([] { return S->Title() == "Page avec titre"; }));
    S->Chosen = row.chosen.empty() ? "" : S->Folder.FilePath(row.chosen);
    S->Proposed.clear();
    row.download ? S->View->Navigate(S->Server.Url("/download"))
                 : S->View->ExecWB(platform::OLECMDID_SAVEAS, 0);
    const std::string path = S->Chosen.empty() ? "" : S->Chosen + row.added;
    ASSERT_TRUE(WaitUntil([&] { return S->Said(row.said + path); }));
    ASSERT_EQ(S->Proposed.size(), 1u);
    EXPECT_TRUE(S->Proposed[0].ends_with(row.proposed)) << S->Proposed[0];
    const std::string bytes = testsupport::ReadBytes(path);
    EXPECT_TRUE(row.written.empty() ? bytes.empty() : bytes.find(row.written) != std::string::npos);
    EXPECT_EQ(S->Title(), "Page avec titre");
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Save,
    testing::Values(SaveRow{"download written to the file chosen", true, "choisi.bin", "",
                            "/releve.bin", "Téléchargement terminé : ", kDownloadBody},
                    SaveRow{"download refused: nothing written", true, "", "", "/releve.bin",
                            "Téléchargement de « releve.bin » annulé.", ""},
                    SaveRow{"page written as a web archive", false, "archive", ".mhtml",
                            "/Page avec titre.mhtml", "Page enregistrée : ", "MIME-Version"}),
    testsupport::RowName<SaveRow>);

TEST(Preview, ThePagePrintedShownWithImprimerAndFermer) {
    ASSERT_TRUE(S->Load("/title"));
    S->View->ExecWB(platform::OLECMDID_PRINTPREVIEW, 0);
    GtkWidget* preview = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (preview = Shown("Aperçu avant impression")); }));
    const auto buttons = Buttons(preview);
    ASSERT_EQ(buttons.size(), 2u);
    EXPECT_EQ(buttons[0].first + "," + buttons[1].first, "Imprimer,Fermer");
    gtk_button_clicked(GTK_BUTTON(buttons[1].second));
    EXPECT_EQ(Shown("Aperçu avant impression"), nullptr);
}

TEST(Find, CountsInAnyCaseThenWithTheCaseKept) {
    ASSERT_TRUE(S->Load("/lune"));
    for (const bool kept : {false, true}) {
        std::pair<int, int> found{-1, -1};
        S->View->FindText(kept ? "Lune" : "lune", false, kept, [&found](int at, int n) {
            found = {at, n};
        });
        ASSERT_TRUE(WaitUntil([&] { return found.first >= 0; }));
        EXPECT_EQ(found, std::make_pair(1, kept ? 1 : 4));
    }
}

// The page's process ended under it: the notice covers the page, the status says why in French,
// and its button loads the page again in a new process.
TEST(Crash, NoticeThenItsButtonBringsThePageBack) {
    ASSERT_TRUE(S->Load("/title"));
    GtkWidget* reload = nullptr;
    for (const auto& [label, button] : Buttons(S->View->Widget()))
        reload = label == "Actualiser" ? button : reload;
    ASSERT_NE(reload, nullptr);
    webkit_web_view_terminate_web_process(S->View->Page());
    ASSERT_TRUE(WaitUntil(
        [&] { return gtk_widget_is_visible(reload) && S->Said(platform::kProcessGoneText); }));
    S->Events.clear();
    gtk_button_clicked(GTK_BUTTON(reload));
    ASSERT_TRUE(WaitUntil([] { return S->Said(platform::kDoneStatusText); })); // the load's end
    EXPECT_FALSE(gtk_widget_is_visible(reload));
    EXPECT_TRUE(WaitUntil([] { return S->Title() == "Page avec titre"; })) << S->Title();
}

} // namespace
