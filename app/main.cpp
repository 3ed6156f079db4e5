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
#include "platform/process/ProgramPath.h"
#include "platform/x11/XcbWindowTree.h"

#include <cstdio>
#include <string>

namespace {

// The argument text after the program's name, as one text.
std::string CommandLineText(int argc, char* argv[]) {
    std::string text;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            text += ' ';
        }
        text += argv[i];
    }
    return text;
}

// What the program says when it cannot load its window library: the file concerned, in French.
std::string CannotLoad(const std::string& library, const platform::LibraryEntry& loaded) {
    using Failure = platform::LibraryEntry::Failure;
    switch (loaded.failure) {
    case Failure::FileMissing:
        return "orvane : fichier introuvable : " + library + ". Réinstallez Orvane.";
    case Failure::DependencyMissing:
        return "orvane : fichier introuvable : " + loaded.missingFile + ", nécessaire à " +
               library + ". Installez la bibliothèque qui le fournit ou réinstallez Orvane.";
    case Failure::EntryMissing:
        return "orvane : le fichier " + library + " ne contient pas le point d'entrée " +
               OrvaneGuiEntry + ". Réinstallez Orvane.";
    case Failure::NotLoadable:
    case Failure::None:
        break;
    }
    return "orvane : le fichier " + library +
           " n'a pas pu être chargé (fichier endommagé ou prévu pour un autre système). "
           "Réinstallez Orvane.";
}

} // namespace

int main(int argc, char* argv[]) {
    const std::string executable = platform::ExecutablePath();
    const std::string programDirectory = platform::FolderOf(executable);

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

    const std::string library = programDirectory + "/" + OrvaneGuiLibrary;
    const platform::LibraryEntry loaded = platform::LoadLibraryEntry(library, OrvaneGuiEntry);
    if (loaded.failure != platform::LibraryEntry::Failure::None) {
        std::fprintf(stderr, "%s\n", CannotLoad(library, loaded).c_str());
        return 1;
    }
    using Entry = int (*)(int, char**, const OrvaneStart*);
    auto entry = reinterpret_cast<Entry>(loaded.entry);
    const std::string commandLine = CommandLineText(argc, argv);
    const OrvaneStart start{programDirectory.c_str(), commandLine.c_str()};
    return entry(argc, argv, &start);
}
