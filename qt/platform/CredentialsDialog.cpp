#include "qt/platform/CredentialsDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace platform {

namespace {

QString Question(const QUrl& url, const QString& realm, const QString& proxyHost) {
    QString text = proxyHost.isEmpty()
                       ? QStringLiteral("Le site %1 demande un nom d'utilisateur et un mot de "
                                        "passe.")
                             .arg(url.host())
                       : QStringLiteral("Le serveur mandataire %1 demande un nom d'utilisateur "
                                        "et un mot de passe.")
                             .arg(proxyHost);
    if (!realm.isEmpty()) {
        text += '\n' + QStringLiteral("Le site indique : « %1 »").arg(realm);
    }
    return text;
}

} // namespace

std::optional<Credentials> AskCredentials(QWidget* parent, const QUrl& url, const QString& realm,
                                          const QString& proxyHost) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Identification requise"));

    auto* question = new QLabel(Question(url, realm, proxyHost), &dialog);
    question->setWordWrap(true);
    auto* user = new QLineEdit(&dialog);
    auto* password = new QLineEdit(&dialog);
    password->setEchoMode(QLineEdit::Password);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("&Nom d'utilisateur :"), user);
    fields->addRow(QStringLiteral("&Mot de passe :"), password);
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(question);
    layout->addLayout(fields);
    layout->addWidget(buttons);

    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return Credentials{user->text(), password->text()};
}

} // namespace platform
