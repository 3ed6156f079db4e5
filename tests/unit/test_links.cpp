// The command line where its fuzz driver cannot reach, and the test of the home address before it
// is shown. The driver checks the link table, section "Liens" as its reader gives it, against a
// reference; the settings file's values are the settings tests'.
#include "app/Connectivity.h"
#include "app/LinkTable.h"

#include "support/Rows.h"

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace BrowserMod1;

namespace {
using testsupport::operator<<;
using testsupport::RowName;

// The fuzz driver's seeds hold the shapes of the command lines the host gives. What it cannot
// give: a megabyte of home address, then of commas (the mail address keeps its default).
TEST(Links, MegabyteCommandLine) {
    const std::string mb(1 << 20, 'a');
    const LinkTable big = BuildLinkTable(
        PrepareCommandLine("  " + std::string(1 << 20, 'A') + std::string(1 << 20, ',') + "  "),
        [](auto&, auto&) { return std::string(); });
    EXPECT_TRUE(big.HomeUrl == "http://" + mb && big.Entry0Caption == mb); // not printed
    EXPECT_EQ(big.MailUrl, "http://webmail.ulmeco.fr/");
}

// The home address before the first navigation: one with ":" passes untested; one without names
// its server, asked on port 80 (the test's own, or none). The unknown name has a label longer than
// DNS allows: the resolver refuses it without sending a query off the machine.
const std::string kUnknown = std::string(64, 'x') + ".invalid";
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
    testing::Values(ReachRow{"colon anywhere passes", kUnknown + ":8080", false, true},
                    ReachRow{"unknown server", kUnknown + "/accueil", false, false},
                    ReachRow{"server that answers", "127.0.0.1/accueil?x#y", true, true},
                    ReachRow{"server that refuses", "127.0.0.1/accueil", false, false}),
    RowName<ReachRow>);
} // namespace
