// The command line and the settings file's links as the window gets them (the fuzz driver checks
// the link table against a reference), and the test of the home address before it is shown.
#include "app/Connectivity.h"
#include "app/LinkTable.h"
#include "settings/Ini.h"

#include "support/Rows.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace BrowserMod1;

namespace {
using testsupport::operator<<;
using testsupport::RowName;

const std::string mail = "http://webmail.ulmeco.fr/"; // the default

// The command line's fields are checked by its fuzz driver; its seeds hold the shapes of the
// command lines the host gives. What the driver cannot give: a megabyte of home address, then of
// commas.
TEST(Links, MegabyteCommandLine) {
    const std::string mb(1 << 20, 'a');
    const LinkTable big = BuildLinkTable(
        PrepareCommandLine("  " + std::string(1 << 20, 'A') + std::string(1 << 20, ',') + "  "),
        [](auto&, auto&) { return std::string(); });
    EXPECT_TRUE(big.HomeUrl == "http://" + mb && big.Entry0Caption == mb); // not printed
    EXPECT_EQ(big.MailUrl, mail);
}

// Links 1 to 5 of section "Liens": a title shows the entry, whatever its address; a megabyte
// of title is read cut at 1023 characters. An empty command line gives the home default.
TEST(Links, FromTheSettingsFile) {
    const std::string dir = testing::TempDir() + "orvane-links-" + std::to_string(::getpid());
    std::filesystem::create_directories(dir);
    IniFileName = dir + "/Orvane.ini";
    std::ofstream(IniFileName) << "[Main]\nTitre1=pas ici\n[Liens]\nTitre2=Deux & trois\n"
                                  "Adresse2=deux.fr\nAdresse3=sans.titre\nTitre4="
                               << std::string(1 << 20, 'l') << "\n";
    const LinkTable table = BuildLinkTable(PrepareCommandLine("  "), IniReadDefault);
    std::filesystem::remove_all(dir);
    EXPECT_EQ(table.LinkTitles, (std::array<std::string, kLinkCount>{"", "", "Deux & trois", "",
                                                                     std::string(1023, 'l'), ""}));
    EXPECT_EQ(table.LinkUrls, (std::array<std::string, kLinkCount>{"http://www.ulmeco.fr/", "",
                                                                   "deux.fr", "", "", ""}));
    EXPECT_EQ(table.Entry0Caption + " " + table.MailUrl, "Site Ulmeco " + mail);
    EXPECT_EQ(table.Visible, (std::array<bool, kLinkCount>{true, false, true, false, true, false}));
}

// The home address before the first navigation: one with ":" passes untested (the names below
// do not resolve); one without names its server, asked on port 80 (the test's own, or none).
struct ReachRow {
    const char* name;
    std::string address;
    bool listening, reachable;
};
class Reach : public testing::TestWithParam<ReachRow> {};

TEST_P(Reach, CheckInternetConnection) {
    const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0), one = 1;
    sockaddr_in local{AF_INET, htons(80), {htonl(INADDR_LOOPBACK)}, {}};
    ::setsockopt(server, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    const bool bound = ::bind(server, reinterpret_cast<sockaddr*>(&local), sizeof local) == 0;
    const bool ready = bound && (!GetParam().listening || ::listen(server, 1) == 0);
    EXPECT_TRUE(!ready ||
                CheckInternetConnection(GetParam().address, 2000) == GetParam().reachable);
    ::close(server);
    if (!ready)
        GTEST_SKIP() << "port 80 of 127.0.0.1 is not this account's to take";
}

INSTANTIATE_TEST_SUITE_P(
    Links, Reach,
    testing::Values(ReachRow{"colon anywhere passes", "orvane.invalid:8080", false, true},
                    ReachRow{"unknown server", "orvane.invalid/accueil", false, false},
                    ReachRow{"empty address", "", false, false},
                    ReachRow{"server that answers", "127.0.0.1/accueil?x#y", true, true},
                    ReachRow{"server that refuses", "127.0.0.1/accueil", false, false}),
    RowName<ReachRow>);
} // namespace
