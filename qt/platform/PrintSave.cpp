#include "qt/platform/PrintSave.h"

#include "qt/platform/Downloads.h"

#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRegularExpression>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace platform {

namespace {

struct SaveChoice {
    const char* Filter;
    const char* Suffix;
    QWebEngineDownloadRequest::SavePageFormat Format;
};

constexpr SaveChoice SaveChoices[] = {
    {"Page web complète (*.html *.htm)", "html", QWebEngineDownloadRequest::CompleteHtmlSaveFormat},
    {"Page web, HTML uniquement (*.html *.htm)", "html",
     QWebEngineDownloadRequest::SingleHtmlSaveFormat},
    {"Archive web, fichier unique (*.mhtml)", "mhtml",
     QWebEngineDownloadRequest::MimeHtmlSaveFormat},
};

const char* const PrintingProperty = "orvanePrinting";

// A file name made of the page title, without the characters file systems refuse.
QString FileNameFor(const QWebEnginePage& page) {
    QString name = page.title();
    name.replace(QRegularExpression(QStringLiteral("[/\\\\:*?\"<>|\\x00-\\x1f]")), " ");
    name = name.simplified();
    if (name.isEmpty() || name == page.url().toString()) {
        name = QStringLiteral("page");
    }
    return name.left(120);
}

} // namespace

void PrintPage(QWebEngineView* view) {
    if (view->property(PrintingProperty).toBool()) {
        // The engine prints one job at a time; and a page asking again while its print dialog
        // is open gets no second dialog over the first.
        return;
    }
    view->setProperty(PrintingProperty, true);
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer.get(), view);
    dialog.setWindowTitle(QStringLiteral("Imprimer la page"));
    if (dialog.exec() != QDialog::Accepted) {
        view->setProperty(PrintingProperty, false);
        return;
    }
    // The engine prints in the background: the printer lives until it says it is done.
    QPrinter* job = printer.release();
    QObject::connect(
        view, &QWebEngineView::printFinished, view,
        [view, job](bool) {
            view->setProperty(PrintingProperty, false);
            delete job;
        },
        Qt::SingleShotConnection);
    view->print(job);
}

void PreviewPage(QWebEngineView* view) {
    if (view->property(PrintingProperty).toBool()) {
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    QPrintPreviewDialog preview(&printer, view);
    preview.setWindowTitle(QStringLiteral("Aperçu avant impression"));
    QObject::connect(
        &preview, &QPrintPreviewDialog::paintRequested, view, [view](QPrinter* target) {
            // The dialog wants the pages drawn when this returns, and the engine
            // draws them in the background: wait for it here.
            QEventLoop wait;
            QObject::connect(view, &QWebEngineView::printFinished, &wait, &QEventLoop::quit);
            QObject::connect(view->page(), &QWebEnginePage::renderProcessTerminated, &wait,
                             &QEventLoop::quit);
            view->print(target);
            wait.exec();
        });
    // While it is open, print requests from the page are set aside like those during a print.
    view->setProperty(PrintingProperty, true);
    preview.exec();
    view->setProperty(PrintingProperty, false);
}

void SavePage(QWebEngineView* view) {
    QWebEnginePage* page = view->page();
    QStringList filters;
    for (const SaveChoice& choice : SaveChoices) {
        filters << QString::fromUtf8(choice.Filter);
    }

    QFileDialog dialog(view, QStringLiteral("Enregistrer la page sous"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    dialog.setDirectory(DownloadFolder());
    dialog.selectFile(FileNameFor(*page) + '.' + SaveChoices[0].Suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    const SaveChoice& choice =
        SaveChoices[std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter()))];
    QString path = dialog.selectedFiles().constFirst();
    if (QFileInfo(path).suffix().isEmpty()) {
        path += '.' + QString::fromLatin1(choice.Suffix); // a name typed without its suffix
    }
    // The engine saves through a download of its own, which reports how it went.
    page->save(path, choice.Format);
}

} // namespace platform
