// Program entry.
//
// The first question of the load sequence, whether an earlier instance runs and its window can
// be brought forward, is answered here, before the GUI toolkit and the web engine are loaded:
// a second start then ends in milliseconds, reads and writes nothing and starts no engine
// process. Otherwise the window program is loaded and runs the rest of the sequence.

#include "app/FindWindowLike.h"
#include "app/ProgramEntry.h"
#include "platform/process/GuiLibrary.h"
#include "platform/process/InstanceLock.h"
#include "platform/x11/XcbWindowTree.h"

#include <QByteArray>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <cstdio>

namespace {

QString ExecutablePath() {
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
}

// The argument text after the program's name, as one text.
QString CommandLineText(int argc, char* argv[]) {
    QStringList args;
    for (int i = 1; i < argc; ++i) {
        args << QString::fromLocal8Bit(argv[i]);
    }
    return args.join(QLatin1Char(' '));
}

// What the program says when it cannot load its window library: the file concerned, in French.
QString CannotLoad(const QString& library, const platform::LibraryEntry& loaded) {
    using Failure = platform::LibraryEntry::Failure;
    switch (loaded.failure) {
    case Failure::FileMissing:
        return QStringLiteral("orvane : fichier introuvable : %1. Réinstallez Orvane.")
            .arg(library);
    case Failure::DependencyMissing:
        return QStringLiteral("orvane : fichier introuvable : %1, nécessaire à %2. Installez "
                              "la bibliothèque qui le fournit ou réinstallez Orvane.")
            .arg(loaded.missingFile, library);
    case Failure::EntryMissing:
        return QStringLiteral("orvane : le fichier %1 ne contient pas le point d'entrée %2. "
                              "Réinstallez Orvane.")
            .arg(library, QLatin1String(OrvaneGuiEntry));
    case Failure::NotLoadable:
    case Failure::None:
        break;
    }
    return QStringLiteral("orvane : le fichier %1 n'a pas pu être chargé (fichier endommagé ou "
                          "prévu pour un autre système). Réinstallez Orvane.")
        .arg(library);
}

} // namespace

int main(int argc, char* argv[]) {
    const QString executable = ExecutablePath();
    const QString programDirectory = QFileInfo(executable).absolutePath();

    // Held for the life of the program: it tells later starts that this one runs.
    platform::InstanceLock instance(executable);
    // Step 1 of the main window's load sequence (app/StartUp.h): an earlier instance whose
    // window can be brought forward ends this start here.
    if (instance.PrevInstance()) {
        platform::XcbWindowTree windows;
        if (BrowserMod1::ActivatePreviousInstance(windows)) {
            return 0;
        }
    }

    const QString library = programDirectory + QLatin1Char('/') + OrvaneGuiLibrary;
    const platform::LibraryEntry loaded = platform::LoadLibraryEntry(library, OrvaneGuiEntry);
    if (loaded.failure != platform::LibraryEntry::Failure::None) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(CannotLoad(library, loaded)));
        return 1;
    }
    using Entry = int (*)(int, char**, const OrvaneStart*);
    auto entry = reinterpret_cast<Entry>(loaded.entry);
    const QByteArray directory = programDirectory.toUtf8();
    const QByteArray commandLine = CommandLineText(argc, argv).toUtf8();
    const OrvaneStart start{directory.constData(), commandLine.constData()};
    return entry(argc, argv, &start);
}
