// The command line and the settings file's links as the window's tooltips and links menu get
// them: the link table (the fuzz driver checks it against a reference), addresses as typed.
#include "app/LinkTable.h"
#include "settings/Ini.h"

#include "support/Rows.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
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

} // namespace
