// The web view on the real WebKitGTK against a server of the test's own on 127.0.0.1: the order
// of a load's events, titles (none, huge), status texts, new windows, mail links, downloads, PDF
// files, authentication, certificate errors, a page whose process dies, saving, print preview,
// find, the French texts, and the sandbox decision.

#include "platform/web/CredentialsDialog.h"
#include "platform/web/Engine.h"
#include "platform/web/PopupWindow.h"
#include "platform/web/StoppedNotice.h"
#include "platform/web/WebKitView.h"
#include "support/HttpServer.h"
#include "support/Rows.h"

#include <gtk/gtk.h>
#include <webkit2/webkit2.h>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using testsupport::HttpResponse;
using testsupport::HttpServer;
using testsupport::operator<<;

// Every wait's guard against a hang, never a measure of speed.
constexpr gint64 kGuardUs = 60'000'000;

// Runs the main loop until done() holds; false when the guard ran out first.
bool Until(const std::function<bool()>& done) {
    const gint64 end = g_get_monotonic_time() + kGuardUs;
    // Wakes the loop now and then, so that a condition set by another thread is seen.
    const guint tick = g_timeout_add(
        20, +[](gpointer) -> gboolean { return G_SOURCE_CONTINUE; }, nullptr);
    while (!done() && g_get_monotonic_time() < end) {
        g_main_context_iteration(nullptr, TRUE);
    }
    g_source_remove(tick);
    return done();
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

// A one-page PDF, written out with its cross-reference table.
std::string TinyPdf() {
    const std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents 4 0 R >>",
        "<< /Length 0 >>\nstream\n\nendstream"};
    std::string pdf = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const std::size_t offset : offsets) {
        char line[32];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", offset);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

constexpr char kDownloadBody[] = "relevé de compte\n";

std::string SandboxLine; // what PrepareEngine said on standard error

// One window, one view, one server for the whole suite: each view starts a web process.
struct Suite {
    HttpServer Server;
    GtkWidget* Window = nullptr;
    std::unique_ptr<platform::WebKitView> View;
    std::vector<std::string> Events;
    bool CancelNewWindow = false;
    std::string Chosen; // the save dialog's answer
    std::vector<std::string> Proposed;
    std::vector<std::string> Outside;
    std::vector<std::string> Asked;
    std::optional<platform::Credentials> Given;
    std::string Folder;
    std::string Shown; // the title as the window last read it

    std::vector<std::string> StatusTexts() const {
        std::vector<std::string> texts;
        for (const std::string& event : Events) {
            if (event.starts_with("StatusTextChange(")) {
                texts.push_back(event.substr(17, event.size() - 18));
            }
        }
        return texts;
    }
    bool Said(const std::string& text) const {
        const auto texts = StatusTexts();
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }
    int Count(const std::string& event) const {
        return static_cast<int>(std::count(Events.begin(), Events.end(), event));
    }
    // Loads an address (a path of the server, or a full address) and waits for its end.
    bool Load(const std::string& at) {
        Events.clear();
        Shown = "<unread>";
        View->Navigate(at.starts_with("/") ? Server.Url(at) : at);
        return Until([this] { return Count("DownloadComplete") > 0; });
    }
    std::string Title() const { return View->DocumentTitle().value_or("<nothing>"); }
};

Suite* S = nullptr;

void Routes(HttpServer& server) {
    server.Route("/title", HttpServer::Html("Page avec titre", "<p>bonjour</p>"));
    server.Route("/notitle", HttpServer::Html("", "<p>sans titre</p>"));
    server.Route("/longtitle", HttpServer::Html("", "<script>document.title = 'x'.repeat(20000000)"
                                                    "</script>"));
    server.Route("/links", HttpServer::Html(
                               "Liens", "<a id=a href=\"/title\" style=\"display:block;"
                                        "position:absolute;left:0;top:0;width:400px;height:200px\""
                                        ">lien</a>"));
    server.Route("/opened", HttpServer::Html("", "<script>document.title = 'opener:' + "
                                                 "(window.opener ? 'oui' : 'non')</script>"));
    server.Route("/mail",
                 HttpServer::Html("Courrier", "<script>setTimeout(() => location.href ="
                                              " 'mailto:compta@example.org', 0)</script>"));
    server.Route("/download",
                 HttpResponse{200,
                              {{"Content-Type", "application/octet-stream"},
                               {"Content-Disposition", "attachment; filename=\"releve.bin\""}},
                              kDownloadBody});
    server.Route("/doc.pdf", HttpResponse{200, {{"Content-Type", "application/pdf"}}, TinyPdf()});
    server.Route("/auth", HttpServer::BasicAuth("Ulmeco", "dupont", "secret",
                                                HttpServer::Html("Espace membre", "bienvenue"),
                                                HttpServer::Html("Refusé", "non")));
    server.Route("/lune", HttpServer::Html("Lune", "lune Lune lune LUNE"));
}

class Environment : public testing::Environment {
public:
    void SetUp() override {
        S = new Suite;
        char folder[] = "/tmp/orvane-webview-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        S->Folder = folder;
        Routes(S->Server);
        ASSERT_TRUE(S->Server.Listen());
        platform::WebViewEvents events;
        auto& ev = S->Events;
        events.DownloadBegin = [&ev] { ev.push_back("DownloadBegin"); };
        events.DownloadComplete = [&ev] { ev.push_back("DownloadComplete"); };
        events.NavigateComplete = [&ev](const std::string&) {
            ev.push_back("NavigateComplete");
            S->Shown = S->Title();
        };
        // What the window's caption reads: the title at NavigateComplete, or when it comes later.
        events.TitleChange = [] { S->Shown = S->Title(); };
        events.DocumentComplete = [&ev](const std::string&) { ev.push_back("DocumentComplete"); };
        events.StatusTextChange = [&ev](const std::string& t) {
            ev.push_back("StatusTextChange(" + t + ")");
        };
        events.ProgressChange = [&ev](int, int maximum) {
            ev.push_back("ProgressChange/" + std::to_string(maximum));
        };
        events.NewWindow = [&ev](bool& cancel) {
            ev.push_back("NewWindow");
            cancel = S->CancelNewWindow;
        };
        platform::WebViewServices services;
        services.ChooseSavePath = [](GtkWidget*, const std::string&, const std::string& proposed) {
            S->Proposed.push_back(proposed);
            return S->Chosen;
        };
        services.AskCredentials = [](GtkWidget*, const platform::CredentialsQuestion& question) {
            S->Asked.push_back(question.Host + " " + question.Realm);
            return S->Given;
        };
        services.OpenOutside = [](const std::string& address) { S->Outside.push_back(address); };
        S->View = std::make_unique<platform::WebKitView>(events, services);
        S->Window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
        gtk_window_set_default_size(GTK_WINDOW(S->Window), 800, 600);
        gtk_window_move(GTK_WINDOW(S->Window), 0, 0);
        gtk_container_add(GTK_CONTAINER(S->Window), S->View->Widget());
        gtk_widget_show_all(S->Window);
        ASSERT_TRUE(Until([] { return gtk_widget_get_mapped(S->Window) != FALSE; }));
    }
    void TearDown() override {
        for (platform::PopupWindow* popup : platform::PopupWindow::All()) {
            gtk_widget_destroy(popup->Window());
        }
        S->View.reset();
        gtk_widget_destroy(S->Window);
        delete S;
        S = nullptr;
    }
};

// --- A load's events and the title -------------------------------------------------------------

TEST(LoadEvents, InTheOrderTheWindowExpects) {
    ASSERT_TRUE(S->Load("/title"));
    std::vector<std::string> seen;
    for (const std::string& event : S->Events) {
        if (!event.starts_with("ProgressChange") && (seen.empty() || seen.back() != event)) {
            seen.push_back(event);
        }
    }
    const std::vector<std::string> expected = {"DownloadBegin", "NavigateComplete",
                                               "DocumentComplete", "DownloadComplete",
                                               "StatusTextChange(Terminé)"};
    EXPECT_EQ(seen, expected);
    EXPECT_GT(S->Count("ProgressChange/100"), 0);
}

struct TitleRow {
    std::string name;
    std::string path;
    std::string title;
};

class Title : public testing::TestWithParam<TitleRow> {};

TEST_P(Title, IsTheDocumentsOwnCutToABoundedLength) {
    ASSERT_TRUE(S->Load(GetParam().path));
    // The window reads it at the load's end or, where the engine tells it later, when it comes.
    ASSERT_TRUE(Until([] { return S->Shown == GetParam().title; }))
        << S->Shown.size() << " " << S->Shown.substr(0, 80);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Title,
    testing::Values(TitleRow{"with a title", "/title", "Page avec titre"},
                    TitleRow{"without a title: empty, not the address", "/notitle", ""},
                    // The engine itself keeps the first 1000 characters of a title.
                    TitleRow{"20 million characters read as the first 1000", "/longtitle",
                             std::string(1000, 'x')}),
    testsupport::RowName<TitleRow>);

TEST(DocumentTitle, NothingBeforeAnyDocument) {
    platform::WebKitView fresh({}, {});
    EXPECT_EQ(fresh.DocumentTitle(), std::nullopt);
}

// --- Status text on a link ---------------------------------------------------------------------

TEST(StatusText, ShowsTheLinkHoveredThenNothing) {
    ASSERT_TRUE(S->Load("/links"));
    gint x = 0, y = 0;
    gdk_window_get_origin(gtk_widget_get_window(S->View->Widget()), &x, &y);
    int moves = 0;
    // The pointer moved onto a point of the page, as the window system tells the widget.
    const auto move = [&](bool onLink) {
        GtkWidget* page = GTK_WIDGET(S->View->Page());
        GdkEvent* event = gdk_event_new(GDK_MOTION_NOTIFY);
        event->motion.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(page)));
        event->motion.send_event = TRUE;
        event->motion.time = GDK_CURRENT_TIME;
        event->motion.x = (onLink ? 100 : 600) + moves % 2;
        event->motion.y = onLink ? 100 : 400;
        event->motion.x_root = x + event->motion.x;
        event->motion.y_root = y + event->motion.y;
        gdk_event_set_device(event, gdk_seat_get_pointer(gdk_display_get_default_seat(
                                        gtk_widget_get_display(page))));
        ++moves;
        gtk_widget_event(page, event);
        gdk_event_free(event);
    };
    ASSERT_TRUE(Until([&] { return move(true), S->Said(S->Server.Url("/title")); }))
        << testing::PrintToString(S->Events) << x << "," << y;
    S->Events.clear();
    ASSERT_TRUE(Until([&] { return move(false), S->Said(""); }));
}

// --- New windows -------------------------------------------------------------------------------

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
    ASSERT_TRUE(Until([] { return S->Count("NewWindow") == 1; }));
    if (GetParam().cancel) {
        // A window opens within NewWindow's answer: none is coming.
        ASSERT_TRUE(S->Load("/title"));
        EXPECT_TRUE(platform::PopupWindow::All().empty());
        return;
    }
    ASSERT_TRUE(Until([] { return platform::PopupWindow::All().size() == 1; }));
    GtkWidget* popup = platform::PopupWindow::All()[0]->Window();
    ASSERT_TRUE(Until([popup] {
        return gtk_widget_get_visible(popup) &&
               std::string(gtk_window_get_title(GTK_WINDOW(popup))) == "opener:oui";
    })) << gtk_window_get_title(GTK_WINDOW(popup));
    EXPECT_EQ(S->Title(), "Liens");
    gtk_widget_destroy(popup);
    EXPECT_TRUE(platform::PopupWindow::All().empty());
}

INSTANTIATE_TEST_SUITE_P(Rows, NewWindow,
                         testing::Values(NewWindowRow{"cancelled: no window", true},
                                         NewWindowRow{"not cancelled: a window with its opener",
                                                      false}),
                         testsupport::RowName<NewWindowRow>);

// --- Addresses the engine does not load --------------------------------------------------------

TEST(Mailto, GoesToTheDesktopNeverIntoThePage) {
    S->Outside.clear();
    ASSERT_TRUE(S->Load("/mail"));
    ASSERT_TRUE(Until([] { return !S->Outside.empty(); }));
    EXPECT_EQ(S->Outside, std::vector<std::string>{"mailto:compta@example.org"});
    EXPECT_EQ(S->Title(), "Courrier");
    S->Outside.clear();
    S->View->Navigate("mailto:direction@example.org");
    EXPECT_EQ(S->Outside, std::vector<std::string>{"mailto:direction@example.org"});
}

// --- Downloads ---------------------------------------------------------------------------------

struct DownloadRow {
    std::string name;
    bool chosen;
};

class Download : public testing::TestWithParam<DownloadRow> {};

TEST_P(Download, LandsInTheFileChosenOrNowhere) {
    ASSERT_TRUE(S->Load("/title"));
    const std::string path = S->Folder + "/" + (GetParam().chosen ? "choisi.bin" : "refuse.bin");
    S->Chosen = GetParam().chosen ? path : "";
    S->Proposed.clear();
    S->Events.clear();
    S->View->Navigate(S->Server.Url("/download"));
    const std::string said = GetParam().chosen ? "Téléchargement terminé : " + path
                                               : "Téléchargement de « releve.bin » annulé.";
    ASSERT_TRUE(Until([&] { return S->Said(said); }));
    ASSERT_EQ(S->Proposed.size(), 1u);
    EXPECT_TRUE(S->Proposed[0].ends_with("/releve.bin")) << S->Proposed[0];
    EXPECT_EQ(ReadFile(path), GetParam().chosen ? kDownloadBody : "");
    EXPECT_EQ(S->Title(), "Page avec titre"); // the page stays
}

INSTANTIATE_TEST_SUITE_P(Rows, Download,
                         testing::Values(DownloadRow{"file chosen: written", true},
                                         DownloadRow{"refused: nothing written", false}),
                         testsupport::RowName<DownloadRow>);

TEST(Pdf, ShownByTheEngineNotDownloaded) {
    EXPECT_TRUE(webkit_web_view_can_show_mime_type(S->View->Page(), "application/pdf"));
    S->Proposed.clear();
    ASSERT_TRUE(S->Load("/doc.pdf"));
    EXPECT_TRUE(S->Proposed.empty());
    EXPECT_EQ(std::string(webkit_web_view_get_uri(S->View->Page())), S->Server.Url("/doc.pdf"));
}

// --- Authentication and certificates -----------------------------------------------------------

TEST(Authentication, AskedUntilGiven) {
    for (const bool given : {false, true}) {
        S->Asked.clear();
        S->Given = given ? std::optional(platform::Credentials{"dupont", "secret"}) : std::nullopt;
        ASSERT_TRUE(S->Load("/auth"));
        ASSERT_TRUE(Until([&] { return S->Title() == (given ? "Espace membre" : "Refusé"); }))
            << S->Title();
        EXPECT_EQ(S->Asked, std::vector<std::string>{"127.0.0.1 Ulmeco"});
    }
}

void CollectButtons(GtkWidget* widget, std::vector<GtkWidget*>& buttons) {
    if (GTK_IS_BUTTON(widget)) {
        buttons.push_back(widget);
    }
    if (GTK_IS_CONTAINER(widget)) {
        GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
        for (GList* c = children; c != nullptr; c = c->next) {
            CollectButtons(GTK_WIDGET(c->data), buttons);
        }
        g_list_free(children);
    }
}

// Closes the first dialog shown: types into its entries and presses the button whose label is
// given, after noting every button's label.
struct DialogAnswer {
    std::vector<std::string> Labels;
    std::string Press;
};

gboolean AnswerDialog(gpointer data) {
    auto* answer = static_cast<DialogAnswer*>(data);
    GList* windows = gtk_window_list_toplevels();
    for (GList* w = windows; w != nullptr; w = w->next) {
        if (!GTK_IS_DIALOG(w->data) || !gtk_widget_get_visible(GTK_WIDGET(w->data))) {
            continue;
        }
        GtkDialog* dialog = GTK_DIALOG(w->data);
        std::vector<GtkWidget*> buttons;
        CollectButtons(GTK_WIDGET(dialog), buttons);
        GtkWidget* pressed = nullptr;
        for (GtkWidget* button : buttons) {
            const char* label = gtk_button_get_label(GTK_BUTTON(button));
            answer->Labels.push_back(label != nullptr ? label : "");
            pressed = answer->Labels.back() == answer->Press ? button : pressed;
        }
        g_list_free(windows);
        if (pressed != nullptr) {
            gtk_button_clicked(GTK_BUTTON(pressed));
        } else {
            gtk_dialog_response(dialog, GTK_RESPONSE_CANCEL);
        }
        return G_SOURCE_REMOVE;
    }
    g_list_free(windows);
    return G_SOURCE_CONTINUE;
}

TEST(French, CredentialsDialogButtonsFromGtksCatalogue) {
    DialogAnswer answer{{}, "A_nnuler"};
    const guint poll = g_timeout_add(50, AnswerDialog, &answer);
    const auto given = platform::AskCredentials(S->Window, {"127.0.0.1", "Ulmeco", false});
    g_source_remove(poll);
    EXPECT_EQ(given, std::nullopt);
    EXPECT_EQ(answer.Labels, (std::vector<std::string>{"A_nnuler", "_Valider"}));
}

// A port of loopback free now, for a server started by another program.
int FreePort() {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    int port = -1;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
        port = ntohs(address.sin_port);
    }
    close(fd);
    return port;
}

// A TLS server of openssl's own with a certificate made now, signed by itself.
TEST(Tls, CertificateErrorRefusedWithAFrenchPage) {
    const std::string key = S->Folder + "/cle.pem", cert = S->Folder + "/cert.pem";
    const std::string make = "openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=127.0.0.1"
                             " -keyout " +
                             key + " -out " + cert;
    gint status = -1;
    if (!g_spawn_command_line_sync(make.c_str(), nullptr, nullptr, &status, nullptr) ||
        status != 0) {
        GTEST_SKIP() << "openssl cannot make a certificate here";
    }
    const int port = FreePort();
    ASSERT_GT(port, 0);
    gchar* argv[] = {const_cast<gchar*>("openssl"),
                     const_cast<gchar*>("s_server"),
                     const_cast<gchar*>("-key"),
                     const_cast<gchar*>(key.c_str()),
                     const_cast<gchar*>("-cert"),
                     const_cast<gchar*>(cert.c_str()),
                     const_cast<gchar*>("-accept"),
                     g_strdup(("127.0.0.1:" + std::to_string(port)).c_str()),
                     const_cast<gchar*>("-www"),
                     const_cast<gchar*>("-quiet"),
                     nullptr};
    GPid pid = 0;
    ASSERT_TRUE(g_spawn_async(
        nullptr, argv, nullptr,
        GSpawnFlags(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD | G_SPAWN_STDOUT_TO_DEV_NULL),
        nullptr, nullptr, &pid, nullptr));
    g_free(argv[7]);
    const std::string address = "https://127.0.0.1:" + std::to_string(port) + "/";
    bool refused = false;
    for (int attempt = 0; attempt < 50 && !refused; ++attempt) {
        ASSERT_TRUE(S->Load(address));
        Until([] { return S->Title() != ""; });
        refused = S->Title() == "Connexion non sécurisée";
    }
    kill(pid, SIGTERM);
    g_spawn_close_pid(pid);
    EXPECT_TRUE(refused) << S->Title();
}

// --- A page whose process dies -----------------------------------------------------------------

// Set aside: the notice and its button appear, but the reload they ask for raises no load events
// yet after webkit_web_view_terminate_web_process.
TEST(ProcessGone, DISABLED_FrenchNoticeCoversThePageUntilReloaded) {
    ASSERT_TRUE(S->Load("/title"));
    S->Events.clear();
    webkit_web_view_terminate_web_process(S->View->Page());
    ASSERT_TRUE(Until([] { return S->Said(platform::kProcessGoneText); }));
    GtkWidget* reload = nullptr;
    GList* children = gtk_container_get_children(GTK_CONTAINER(S->View->Widget()));
    for (GList* c = children; c != nullptr; c = c->next) {
        if (GTK_IS_BOX(c->data) && gtk_widget_get_visible(GTK_WIDGET(c->data))) {
            GList* inner = gtk_container_get_children(GTK_CONTAINER(c->data));
            reload = GTK_WIDGET(g_list_last(inner)->data);
            g_list_free(inner);
        }
    }
    g_list_free(children);
    ASSERT_NE(reload, nullptr);
    EXPECT_STREQ(gtk_button_get_label(GTK_BUTTON(reload)), "Actualiser");
    S->Events.clear();
    gtk_button_clicked(GTK_BUTTON(reload));
    ASSERT_TRUE(Until([] { return S->Said("Terminé"); })) << testing::PrintToString(S->Events);
    EXPECT_FALSE(gtk_widget_get_visible(gtk_widget_get_parent(reload)));
    EXPECT_EQ(S->Title(), "Page avec titre");
}

// --- Saving, preview, find ---------------------------------------------------------------------

TEST(Save, WebArchiveWrittenWhereChosen) {
    ASSERT_TRUE(S->Load("/title"));
    ASSERT_TRUE(Until([] { return S->Title() == "Page avec titre"; }));
    S->Chosen = S->Folder + "/archive";
    S->Proposed.clear();
    S->View->ExecWB(platform::OLECMDID_SAVEAS, 0);
    const std::string path = S->Chosen + ".mhtml";
    ASSERT_TRUE(Until([&] { return S->Said("Page enregistrée : " + path); }));
    EXPECT_NE(ReadFile(path).find("MIME-Version"), std::string::npos);
    ASSERT_EQ(S->Proposed.size(), 1u);
    EXPECT_TRUE(S->Proposed[0].ends_with("/Page avec titre.mhtml")) << S->Proposed[0];
}

GtkWidget* ToplevelTitled(const std::string& title) {
    GtkWidget* found = nullptr;
    GList* windows = gtk_window_list_toplevels();
    for (GList* w = windows; w != nullptr; w = w->next) {
        const char* shown = gtk_window_get_title(GTK_WINDOW(w->data));
        if (shown != nullptr && title == shown && gtk_widget_get_visible(GTK_WIDGET(w->data))) {
            found = GTK_WIDGET(w->data);
        }
    }
    g_list_free(windows);
    return found;
}

TEST(Preview, ThePagePrintedShownWithImprimerAndFermer) {
    ASSERT_TRUE(S->Load("/title"));
    S->View->ExecWB(platform::OLECMDID_PRINTPREVIEW, 0);
    GtkWidget* preview = nullptr;
    ASSERT_TRUE(Until([&] { return (preview = ToplevelTitled("Aperçu avant impression")); }))
        << testing::PrintToString(S->StatusTexts());
    std::vector<GtkWidget*> buttons;
    CollectButtons(preview, buttons);
    std::vector<std::string> labels;
    for (GtkWidget* button : buttons) {
        labels.push_back(gtk_button_get_label(GTK_BUTTON(button)));
    }
    EXPECT_EQ(labels, (std::vector<std::string>{"Imprimer", "Fermer"}));
    gtk_button_clicked(GTK_BUTTON(buttons.back()));
    EXPECT_EQ(ToplevelTitled("Aperçu avant impression"), nullptr);
}

TEST(Find, CountsInAnyCaseThenWithTheCaseKept) {
    ASSERT_TRUE(S->Load("/lune"));
    for (const bool kept : {false, true}) {
        std::pair<int, int> found{-1, -1};
        S->View->FindText(kept ? "Lune" : "lune", false, kept, [&found](int at, int n) {
            found = {at, n};
        });
        ASSERT_TRUE(Until([&] { return found.first >= 0; }));
        EXPECT_EQ(found, std::make_pair(1, kept ? 1 : 4));
    }
}

// --- The sandbox -------------------------------------------------------------------------------

TEST(Sandbox, OffAsRootSaidInOneFrenchLine) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "not root: the sandbox decision depends on the machine";
    }
    EXPECT_FALSE(platform::SandboxEnabled());
    EXPECT_EQ(SandboxLine,
              "Orvane : le bac à sable du moteur web est désactivé (lancé en tant que root).\n");
}

} // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // What PrepareEngine says on standard error, caught in a file.
    std::fflush(stderr);
    const int saved = dup(fileno(stderr));
    FILE* caught = std::tmpfile();
    dup2(fileno(caught), fileno(stderr));
    platform::PrepareEngine();
    std::fflush(stderr);
    dup2(saved, fileno(stderr));
    close(saved);
    std::rewind(caught);
    char line[512] = {};
    SandboxLine = std::fgets(line, sizeof line, caught) != nullptr ? line : "";
    std::fclose(caught);
    std::fputs(SandboxLine.c_str(), stderr);
    gtk_init(&argc, &argv);
    testing::AddGlobalTestEnvironment(new Environment);
    return RUN_ALL_TESTS();
}
