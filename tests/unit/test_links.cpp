// The command line and the settings file's links, and the test of the home address as the window's
// tooltips and links menu get them: the link table (the fuzz driver checks it against a reference),
// addresses as typed.
#include "app/Connectivity.h"
#include "app/LinkTable.h"
#include "settings/Ini.h"

#include "support/Rows.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace BrowserMod1;

namespace {
// A failing row shows by its name.
using testsupport::operator<<;
using testsupport::RowName;

// Full addresses as they are, others get the web's scheme.
struct AddressRow {
    const char* name;
    std::string address, url;
};

class Address : public testing::TestWithParam<AddressRow> {};

TEST_P(Address, Normalized) {
    EXPECT_EQ(NormalizeUrl(GetParam().address), GetParam().url);
}

INSTANTIATE_TEST_SUITE_P(
    Links, Address,
    testing::Values(
        AddressRow{"https kept", "https://a.example/x", "https://a.example/x"},
        AddressRow{"mailto kept", "mailto:a@b.c", "mailto:a@b.c"},
        AddressRow{"host and path get http", "intra.local/accueil", "http://intra.local/accueil"},
        AddressRow{"host and port left to the web view", "mail.local:8080", "mail.local:8080"},
        AddressRow{"localhost with port and path left to the web view", "localhost:8080/x",
                   "localhost:8080/x"}),
    RowName<AddressRow>);

// The command line as the load sequence hands it on, and the addresses it gives.
struct CommandLineRow {
    const char* name;
    std::string commandLine, prepared, home, caption, mail;
};

class CommandLine : public testing::TestWithParam<CommandLineRow> {};

TEST_P(CommandLine, GivesHomeAndMail) {
    const CommandLineRow& row = GetParam();
    const std::string prepared = PrepareCommandLine(row.commandLine);
    EXPECT_EQ(prepared, row.prepared);
    const LinkTable table = BuildLinkTable(prepared, [](auto&, auto&) { return std::string(); });
    EXPECT_EQ(table.HomeUrl, row.home);
    EXPECT_EQ(table.LinkUrls[0], row.home);
    EXPECT_EQ(table.Entry0Caption, row.caption);
    EXPECT_EQ(table.MailUrl, row.mail);
    EXPECT_EQ(table.Visible, (std::array<bool, kLinkCount>{true}));
}

const std::string defaultMail = "http://webmail.ulmeco.fr/";
INSTANTIATE_TEST_SUITE_P(
    Links, CommandLine,
    testing::Values(CommandLineRow{"home and mail", "intra.local/accueil,mail.local:8080",
                                   "intra.local/accueil,mail.local:8080",
                                   "http://intra.local/accueil", "intra.local/accueil",
                                   "mail.local:8080"},
                    CommandLineRow{"accented capitals lowered", "ÉCOLE.FR,Çà.FR", "école.fr,çà.fr",
                                   "http://école.fr", "école.fr", "http://çà.fr"},
                    CommandLineRow{"Windows-1252 capitals lowered into UTF-8",
                                   "\xC9"
                                   "COLE.FR",
                                   "école.fr", "http://école.fr", "école.fr", defaultMail},
                    CommandLineRow{"blanks around cut, tabs kept", "  \tA , B  ", "\ta , b",
                                   "http://\ta ", "\ta ", "http:// b"},
                    CommandLineRow{"empty: both defaults", "", "", "http://www.ulmeco.fr/",
                                   "Site Ulmeco", defaultMail},
                    CommandLineRow{"blanks only: both defaults", "   ", "", "http://www.ulmeco.fr/",
                                   "Site Ulmeco", defaultMail},
                    CommandLineRow{"mail only: home default", ",x.fr", ",x.fr",
                                   "http://www.ulmeco.fr/", "Site Ulmeco", "http://x.fr"},
                    CommandLineRow{"home only: mail default", "a.fr", "a.fr", "http://a.fr", "a.fr",
                                   defaultMail},
                    CommandLineRow{"third field ignored", "a.fr,b.fr,c.fr", "a.fr,b.fr,c.fr",
                                   "http://a.fr", "a.fr", "http://b.fr"}),
    RowName<CommandLineRow>);

// Links 1 to 5 of section "Liens": a title shows the entry, whatever its address.
TEST(Links, FromTheSettingsFile) { // a megabyte of title read cut at 1023 characters
    const std::string dir = testing::TempDir() + "orvane-links-" + std::to_string(::getpid());
    std::filesystem::create_directories(dir);
    IniFileName = dir + "/Orvane.ini";
    std::ofstream(IniFileName) << "[Main]\nTitre1=pas ici\n[Liens]\nTitre2=Deux & trois\n"
                                  "Adresse2=deux.fr\nAdresse3=sans.titre\nTitre4="
                               << std::string(1 << 20, 'l') << "\n";
    const LinkTable table =
        BuildLinkTable(PrepareCommandLine("intra.local/accueil,mail.local:8080"), IniReadDefault);
    std::filesystem::remove_all(dir);
    EXPECT_EQ(table.LinkTitles, (std::array<std::string, kLinkCount>{"", "", "Deux & trois", "",
                                                                     std::string(1023, 'l'), ""}));
    EXPECT_EQ(table.LinkUrls, (std::array<std::string, kLinkCount>{"http://intra.local/accueil", "",
                                                                   "deux.fr", "", "", ""}));
    EXPECT_EQ(table.Visible, (std::array<bool, kLinkCount>{true, false, true, false, true, false}));
}

TEST(Links, MegabyteCommandLine) { // a megabyte of home address, then of commas
    const std::string mb(1 << 20, 'a');
    const LinkTable big = BuildLinkTable(
        PrepareCommandLine("  " + std::string(1 << 20, 'A') + std::string(1 << 20, ',') + "  "),
        [](auto&, auto&) { return std::string(); });
    EXPECT_TRUE(big.HomeUrl == "http://" + mb &&
                big.Entry0Caption == mb); // no EXPECT_EQ: megabytes
    EXPECT_EQ(big.MailUrl, defaultMail);
}

// The home address before the first navigation: any address with ":" passes untested (the
// names below do not resolve); one without names its server, asked on port 80.
struct ReachRow {
    const char* name;
    std::string address;
    bool listening; // a server of the test's own on 127.0.0.1:80
    bool reachable;
};

class Reach : public testing::TestWithParam<ReachRow> {};

TEST_P(Reach, CheckInternetConnection) {
    const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(80);
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const int one = 1;
    ::setsockopt(server, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    const bool bound = ::bind(server, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0;
    if (GetParam().listening && !(bound && ::listen(server, 1) == 0)) {
        ::close(server);
        GTEST_SKIP() << "port 80 of 127.0.0.1 cannot be taken by this account";
    }
    if (!GetParam().listening && !bound) {
        ::close(server);
        GTEST_SKIP() << "port 80 of 127.0.0.1 is another program's";
    }
    EXPECT_EQ(CheckInternetConnection(GetParam().address, 2000), GetParam().reachable);
    ::close(server);
}

INSTANTIATE_TEST_SUITE_P(
    Links, Reach,
    testing::Values(ReachRow{"scheme passes untested", "http://orvane.invalid/", false, true},
                    ReachRow{"colon anywhere passes", "orvane.invalid:8080", false, true},
                    ReachRow{"unknown server", "orvane.invalid/accueil", false, false},
                    ReachRow{"empty address", "", false, false},
                    ReachRow{"server that answers", "127.0.0.1/accueil?x#y", true, true},
                    ReachRow{"server that refuses", "127.0.0.1/accueil", false, false}),
    RowName<ReachRow>);

} // namespace
