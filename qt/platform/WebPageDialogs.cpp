// The dialogs a page's scripts open (alert, confirm, prompt), with French captions: the engine
// ships no French texts of its own for them.

#include "qt/platform/WebPage.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QTextDocument>
#include <QUrl>

namespace platform {

namespace {

QString DialogTitle(const QUrl& origin) {
    const QString host = origin.host();
    return host.isEmpty() ? QStringLiteral("Message de la page")
                          : QStringLiteral("Message de la page %1").arg(host);
}

// A page's message is shown as the text it is, never as markup.
QString PlainText(const QString& message) {
    return Qt::convertFromPlainText(message);
}

} // namespace

void WebPage::javaScriptAlert(const QUrl& securityOrigin, const QString& msg) {
    QMessageBox::information(DialogParent(), DialogTitle(securityOrigin), PlainText(msg));
}

bool WebPage::javaScriptConfirm(const QUrl& securityOrigin, const QString& msg) {
    return QMessageBox::question(DialogParent(), DialogTitle(securityOrigin), PlainText(msg),
                                 QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

bool WebPage::javaScriptPrompt(const QUrl& securityOrigin, const QString& msg,
                               const QString& defaultValue, QString* result) {
    bool ok = false;
    const QString answer =
        QInputDialog::getText(DialogParent(), DialogTitle(securityOrigin), PlainText(msg),
                              QLineEdit::Normal, defaultValue, &ok);
    if (ok && result != nullptr) {
        *result = answer;
    }
    return ok;
}

} // namespace platform
