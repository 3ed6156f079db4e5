#include "platform/web/ErrorPage.h"

#include "platform/StatusText.h"

namespace platform {

std::string HtmlEscaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

namespace {

std::string Reason(GTlsCertificateFlags flags) {
    if ((flags & G_TLS_CERTIFICATE_UNKNOWN_CA) != 0) {
        return "le certificat du site n'est pas délivré par une autorité reconnue";
    }
    if ((flags & G_TLS_CERTIFICATE_BAD_IDENTITY) != 0) {
        return "le certificat du site est établi pour un autre nom";
    }
    if ((flags & G_TLS_CERTIFICATE_EXPIRED) != 0) {
        return "le certificat du site a expiré";
    }
    if ((flags & G_TLS_CERTIFICATE_NOT_ACTIVATED) != 0) {
        return "le certificat du site n'est pas encore valable";
    }
    if ((flags & G_TLS_CERTIFICATE_REVOKED) != 0) {
        return "le certificat du site a été révoqué";
    }
    return "le certificat du site n'est pas valable";
}

} // namespace

std::string TlsErrorPage(const std::string& address, GTlsCertificateFlags flags) {
    const std::string shown = HtmlEscaped(CaptionText(address, kStatusTextShownMax));
    return "<!DOCTYPE html><html lang=\"fr\"><head><meta charset=\"utf-8\">"
           "<title>Connexion non sécurisée</title></head><body>"
           "<h1>Connexion non sécurisée</h1><p>La page " +
           shown + " n'a pas été ouverte : " + Reason(flags) +
           ".</p><p>Une personne pourrait se faire passer pour ce site afin de lire ce que vous "
           "y envoyez.</p></body></html>";
}

} // namespace platform
