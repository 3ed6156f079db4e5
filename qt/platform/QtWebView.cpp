#include "qt/platform/QtWebView.h"
#include "qt/platform/CoreText.h"

#include "platform/StatusText.h"
#include "qt/platform/CredentialsDialog.h"
#include "qt/platform/Downloads.h"
#include "qt/platform/PopupWindow.h"
#include "qt/platform/PrintSave.h"
#include "qt/platform/WebPage.h"
#include "qt/platform/WebProfile.h"

#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWebEngineFindTextResult>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace platform {

namespace {
const QString Done = QString::fromUtf16(kDoneStatusText);
const QString RendererGoneText = QStringLiteral("L'affichage de la page s'est arrêté brutalement. "
                                                "Cliquez sur Actualiser pour la recharger.");

// What covers a page whose renderer is gone, in place of its last image: the page no longer
// answers, and the status bar alone is easily overlooked.
QWidget* MakeStoppedNotice(QWidget* parent, const std::function<void()>& reload) {
    auto* notice = new QWidget(parent);
    notice->setAutoFillBackground(true);
    auto* text = new QLabel(RendererGoneText, notice);
    text->setTextFormat(Qt::PlainText);
    text->setWordWrap(true);
    text->setAlignment(Qt::AlignCenter);
    auto* button = new QPushButton(QStringLiteral("Actualiser"), notice);
    QObject::connect(button, &QPushButton::clicked, notice, reload);
    auto* layout = new QVBoxLayout(notice);
    layout->addStretch();
    layout->addWidget(text);
    layout->addWidget(button, 0, Qt::AlignHCenter);
    layout->addStretch();
    notice->hide();
    return notice;
}
} // namespace

QtWebView::QtWebView(WebViewServices services, QWidget* parent)
    : WebView(parent), View(new QWebEngineView(this)),
      PageShown(new WebPage(BrowserProfile(), std::move(services), View)),
      StoppedNotice(MakeStoppedNotice(this, [this] { Refresh(); })) {
    View->setPage(PageShown);
    // Start the page now rather than at its first address: the engine's render widget, which is
    // composed through OpenGL, then exists before the window it sits in gets its native window,
    // and Qt makes that window once, of the right kind. Made later, Qt would replace the window,
    // losing its state (maximized) and painting it twice. Running a script is the engine's way
    // to start a page without loading anything into its history.
    PageShown->runJavaScript(QString());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(View);
    setFocusProxy(View);

    connect(PageShown, &QWebEnginePage::loadStarted, this, &QtWebView::LoadStarted);
    connect(PageShown, &QWebEnginePage::loadProgress, this,
            [this](int progress) { emit ProgressChange(progress, 100); });
    connect(PageShown, &QWebEnginePage::loadFinished, this, &QtWebView::LoadFinished);
    connect(PageShown, &QWebEnginePage::linkHovered, this, &QtWebView::StatusTextChange);
    connect(PageShown, &WebPage::StatusMessage, this, &QtWebView::StatusTextChange);
    connect(PageShown, &QWebEnginePage::titleChanged, this, [this] {
        // A script may change the title after the load: keep the document's own title.
        if (!Loading && Title) {
            ReadTitle([] {});
        }
    });
    connect(PageShown, &QWebEnginePage::renderProcessTerminated, this, [this] { RendererGone(); });
    PageShown->SetWindowOpener([this](WebPage::WindowAsker asker) {
        return OpenWindow(asker == WebPage::WindowAsker::Page);
    });
    connect(PageShown, &QWebEnginePage::printRequested, this, &QtWebView::PagePrintRequested);
    connect(PageShown, &QWebEnginePage::fullScreenRequested, this,
            [this](QWebEngineFullScreenRequest request) {
                request.accept();
                emit FullScreenRequested(request.toggleOn());
            });
}

QtWebView::~QtWebView() {
    // The page answers pending script calls when it goes: let it go while this view is whole.
    Closing = true;
    delete View;
}

QUrl QtWebView::AddressToUrl(const QString& address) {
    // A full address is loaded as it is. Without a scheme the plain reading is of no use:
    // "127.0.0.1:8080/x" has no scheme at all and "localhost:8080/x" would read as scheme
    // "localhost"; read those the way a user typing them into an address bar means them.
    const QUrl plain(address);
    if (plain.isValid() && WebPage::IsWebScheme(plain.scheme())) {
        return plain;
    }
    return QUrl::fromUserInput(address);
}

void QtWebView::Navigate(const QString& address) {
    const QUrl url = AddressToUrl(address);
    if (!WebPage::IsWebScheme(url.scheme())) {
        // The engine hands other schemes to the desktop only after a click in the page; an
        // address asked for by the program is as deliberate as a click.
        QDesktopServices::openUrl(url);
        return;
    }
    View->load(url);
}

void QtWebView::GoBack() {
    View->back();
}

void QtWebView::GoForward() {
    View->forward();
}

void QtWebView::Refresh() {
    View->reload();
}

void QtWebView::Stop() {
    StopAsked = Loading;
    View->stop();
}

void QtWebView::GoSearch() {
    View->load(QUrl(QString::fromLatin1(SearchPage)));
}

void QtWebView::ExecWB(int command, int /*option: the default way is the only one*/) {
    switch (command) {
    case OLECMDID_PRINT:
        PrintPage(View);
        break;
    case OLECMDID_PRINTPREVIEW:
        PreviewPage(View);
        break;
    case OLECMDID_SAVEAS:
        SavePage(View);
        break;
    default:
        break;
    }
}

std::optional<QString> QtWebView::DocumentTitle() const {
    return Title;
}

void QtWebView::SetFocus() {
    View->setFocus(Qt::OtherFocusReason);
}

void QtWebView::FindText(const QString& text, bool backward, bool matchCase, FindDone done) {
    QWebEnginePage::FindFlags flags;
    flags.setFlag(QWebEnginePage::FindBackward, backward);
    flags.setFlag(QWebEnginePage::FindCaseSensitively, matchCase);
    // The engine goes on with the matches found so far when only the case changed: end that
    // search so that the new one counts afresh.
    if (matchCase != FindMatchCase && !text.isEmpty()) {
        PageShown->findText(QString());
    }
    FindMatchCase = matchCase;
    if (!done) {
        PageShown->findText(text, flags);
        return;
    }
    PageShown->findText(text, flags, [done](const QWebEngineFindTextResult& result) {
        done(result.activeMatch(), result.numberOfMatches());
    });
}

void QtWebView::SetZoomFactor(double factor) {
    PageShown->setZoomFactor(factor);
}

double QtWebView::ZoomFactor() const {
    return PageShown->zoomFactor();
}

void QtWebView::ExitFullScreen() {
    PageShown->triggerAction(QWebEnginePage::ExitFullScreen);
}

QWebEnginePage* QtWebView::Page() const {
    return PageShown;
}

QUrl QtWebView::Url() const {
    return PageShown->url();
}

qint64 QtWebView::RendererPid() const {
    return PageShown->renderProcessPid();
}

void QtWebView::resizeEvent(QResizeEvent* event) {
    WebView::resizeEvent(event);
    StoppedNotice->setGeometry(rect());
}

void QtWebView::LoadStarted() {
    StoppedNotice->hide();
    ++LoadNumber;
    Loading = true;
    StopAsked = false;
    emit DownloadBegin();
}

void QtWebView::LoadFinished(bool ok) {
    if (!Loading) {
        return; // already concluded (the renderer went away)
    }
    const quint64 load = LoadNumber;
    ReadTitle([this, load, ok] {
        if (load != LoadNumber || !Loading) {
            return; // a newer load has begun; it will end with its own events
        }
        RaiseLoadEnd();
        if (ok) {
            emit StatusTextChange(Done);
        } else if (StopAsked) {
            emit StatusTextChange(QStringLiteral("Chargement arrêté"));
        } else {
            emit StatusTextChange(QStringLiteral("La page n'a pas pu être chargée"));
        }
    });
}

// Reads the first TitleReadMax characters of document.title from the page (the document's own
// title, empty when it has none), keeps them if no newer load has begun since, then calls then.
// A page may set a title of megabytes; only its beginning crosses over from the page. The first
// TitleReadMax characters lie within the first 2 * TitleReadMax UTF-16 units.
void QtWebView::ReadTitle(const std::function<void()>& then) {
    const quint64 load = LoadNumber;
    PageShown->runJavaScript(
        QStringLiteral("document.title.slice(0, %1)").arg(2 * TitleReadMax),
        QWebEngineScript::ApplicationWorld, [this, load, then](const QVariant& title) {
            if (Closing) {
                return;
            }
            if (load == LoadNumber) {
                Title = FromCore(FirstCharacters(ToCore(title.toString()), TitleReadMax));
            }
            then();
        });
}

// window.print() in the page, or the print button of the PDF viewer: the print command. The
// page's script waits until the dialog is answered, so that a page printing and then closing its
// window does not close it under the dialog. After a dialog the page asked for, its requests are
// set aside until it has made none for a while: a page asking again and again (a loop, or a
// reload after each request) cannot hold the window in print dialogs.
void QtWebView::PagePrintRequested() {
    constexpr qint64 QuietMs = 2000;
    if (PagePrintQuiet.isValid() && PagePrintQuiet.elapsed() < QuietMs) {
        PagePrintQuiet.start();
        return;
    }
    ExecWB(OLECMDID_PRINT, 0);
    PagePrintQuiet.start();
}

void QtWebView::RaiseLoadEnd() {
    Loading = false;
    const QString address = PageShown->url().toString();
    emit NavigateComplete(address);
    emit DocumentComplete(address);
    emit DownloadComplete();
}

void QtWebView::RendererGone() {
    // Whatever the cause the engine reports (crashed, killed, ended): the page is gone. A view
    // being deleted takes its renderer with it.
    if (Closing) {
        return;
    }
    if (Loading) {
        // No title can come from a renderer that is gone: end the load here.
        ++LoadNumber;
        RaiseLoadEnd();
    }
    // Until the next load (Actualiser, or any other address) the notice covers the page; it
    // follows the view's size from resizeEvent.
    StoppedNotice->raise();
    StoppedNotice->show();
    emit StatusTextChange(RendererGoneText);
}

QWebEnginePage* QtWebView::OpenWindow(bool pageAsked) {
    if (pageAsked) {
        bool cancel = false;
        emit NewWindow(&cancel);
        if (cancel) {
            return nullptr;
        }
    }
    auto* popup = new PopupWindow(PageShown->Services(), window());
    popup->show();
    return popup->Page();
}

std::unique_ptr<WebView> CreateWebView(QWidget* parent, WebViewServices services) {
    return std::make_unique<QtWebView>(std::move(services), parent);
}

std::unique_ptr<WebView> CreateWebView(QWidget* parent) {
    // The user answers through the French save and credentials dialogs.
    return CreateWebView(parent, {ChooseDownloadPath, AskCredentials});
}

} // namespace platform
