#include "qt/platform/Downloads.h"

#include "qt/platform/WebPage.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineView>

namespace platform {

namespace {

using Request = QWebEngineDownloadRequest;

QString Reason(Request::DownloadInterruptReason reason) {
    switch (reason) {
    case Request::FileAccessDenied:
        return QStringLiteral("l'écriture dans le dossier choisi est refusée");
    case Request::FileNoSpace:
        return QStringLiteral("le disque est plein");
    case Request::FileNameTooLong:
        return QStringLiteral("le nom du fichier est trop long");
    case Request::FileTooLarge:
        return QStringLiteral("le fichier est trop volumineux");
    case Request::FileVirusInfected:
    case Request::FileBlocked:
    case Request::FileSecurityCheckFailed:
        return QStringLiteral("le fichier a été bloqué par sécurité");
    case Request::NetworkTimeout:
        return QStringLiteral("le serveur ne répond plus");
    case Request::NetworkFailed:
    case Request::NetworkDisconnected:
    case Request::NetworkServerDown:
    case Request::NetworkInvalidRequest:
        return QStringLiteral("la connexion a été interrompue");
    case Request::ServerUnauthorized:
    case Request::ServerForbidden:
    case Request::ServerCertProblem:
        return QStringLiteral("le serveur a refusé l'accès au fichier");
    case Request::ServerFailed:
    case Request::ServerBadContent:
    case Request::ServerUnreachable:
        return QStringLiteral("le serveur n'a pas pu fournir le fichier");
    case Request::UserCanceled:
        return QStringLiteral("annulé");
    case Request::NoReason:
        break;
    default:
        return QStringLiteral("le fichier n'a pas pu être écrit");
    }
    return QStringLiteral("erreur inconnue");
}

QString Target(const Request* request) {
    return QDir(request->downloadDirectory()).filePath(request->downloadFileName());
}

QString Progress(const Request* request) {
    const QString name = request->downloadFileName();
    if (request->totalBytes() > 0) {
        const qint64 percent = request->receivedBytes() * 100 / request->totalBytes();
        return QStringLiteral("Téléchargement de « %1 » : %2 %").arg(name).arg(percent);
    }
    return QStringLiteral("Téléchargement de « %1 » : %2 Ko reçus")
        .arg(name)
        .arg(request->receivedBytes() / 1024);
}

QString Outcome(const Request* request) {
    const bool save = request->isSavePageDownload();
    switch (request->state()) {
    case Request::DownloadCompleted:
        return save ? QStringLiteral("Page enregistrée : %1").arg(Target(request))
                    : QStringLiteral("Téléchargement terminé : %1").arg(Target(request));
    case Request::DownloadCancelled:
        return save ? QStringLiteral("Enregistrement de la page annulé.")
                    : QStringLiteral("Téléchargement de « %1 » annulé.")
                          .arg(request->downloadFileName());
    default:
        return save ? QStringLiteral("Échec de l'enregistrement de la page : %1.")
                          .arg(Reason(request->interruptReason()))
                    : QStringLiteral("Échec du téléchargement de « %1 » : %2.")
                          .arg(request->downloadFileName(), Reason(request->interruptReason()));
    }
}

// Tells the page's status text how the download goes, as long as the page lives.
void Follow(Request* request, WebPage* page) {
    QObject::connect(request, &Request::receivedBytesChanged, page, [request, page] {
        if (!request->isFinished()) {
            emit page->StatusMessage(Progress(request));
        }
    });
    QObject::connect(request, &Request::isFinishedChanged, page, [request, page] {
        if (request->isFinished()) {
            emit page->StatusMessage(Outcome(request));
        }
    });
}

} // namespace

QString DownloadFolder() {
    const QString downloads = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    // A file dialog asked to open on a folder that is not there opens on the working directory,
    // which for a program started by another can be anywhere.
    if (!downloads.isEmpty() && QDir().mkpath(downloads) && QFileInfo(downloads).isDir()) {
        return downloads;
    }
    return QDir::homePath();
}

QString ChooseDownloadPath(QWidget* parent, const QString& suggestedPath) {
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Enregistrer le fichier sous"),
                                        suggestedPath);
}

void HandleDownload(QWebEngineDownloadRequest* request) {
    auto* page = qobject_cast<WebPage*>(request->page());
    if (request->state() == Request::DownloadRequested && !request->isSavePageDownload()) {
        const auto& choose = page != nullptr ? page->Services().ChooseDownloadPath
                                             : std::function(ChooseDownloadPath);
        QWidget* parent = page != nullptr ? QWebEngineView::forPage(page) : nullptr;
        const QString suggested = QDir(DownloadFolder()).filePath(request->downloadFileName());
        const QString path = choose ? choose(parent, suggested) : QString();
        if (path.isEmpty()) {
            request->cancel();
            if (page != nullptr) {
                emit page->StatusMessage(Outcome(request));
            }
            return;
        }
        const QFileInfo file(path);
        request->setDownloadDirectory(file.absolutePath());
        request->setDownloadFileName(file.fileName());
        request->accept();
    } else if (request->state() == Request::DownloadRequested) {
        request->accept();
    }
    if (page != nullptr) {
        emit page->StatusMessage(Progress(request));
        Follow(request, page);
    }
}

} // namespace platform
