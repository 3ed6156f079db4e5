// The settings file: what reads yield, which bytes writes leave, files that cannot be read or
// written, and writers that die or run at once (forked copies of this process).
#include "settings/Ini.h"

#include "support/Files.h"

#include <csignal>
#include <ranges>
#include <sys/stat.h>

using namespace BrowserMod1;
using namespace testsupport;
namespace fs = std::filesystem;

namespace {
const std::string kEmoji = "\U0001F600";

std::string BigFile(char letter) {
    return "; kept\n[Head]\nkeep=1\n[Big]\nvalue=" + std::string(300000, letter) + "\n[T]\nk=2\n";
}

// Files on disk (the rules are fuzzed in memory): writes leave the other bytes as they were.
struct FileRow {
    const char* name;
    // op: "section|key" reads, "section|key|value" writes; expected: value read or bytes after
    std::string before, op, expected;
};

std::vector<FileRow> FileRows() {
    const std::string huge = "[L]\nT=" + std::string(3 << 20, 'x') + "\n[Main]\nWidth=7";
    std::string pair, bytes, cp = "[L]\nT=Caf\xE9 \x80\n";
    for (int i = 0; i < 256 * 4; ++i) { // every byte value, '[' aside; 1022 "é" and a pair
        bytes += char(i % 256 == '[' ? 0 : i % 256);
        pair += i < 1022 ? "é" : i == 1022 ? kEmoji : "";
    }
    const auto u16 = [](const std::u16string& left, bool le) { // a byte order mark, CRLF
        std::string bytes;
        for (char16_t unit : u"\uFEFF; L\r\n[Liens]\r\nT=Café 😀\r\n[M]\r\nLeft=" + left + u"\r\n")
            bytes += {char(unit >> (le ? 0 : 8)), char(unit >> (le ? 8 : 0))};
        return bytes;
    };
    const std::string text = "\xEF\xBB\xBF; L\r\n[Liens]\r\nT=Café 😀\r\n[M]\r\nLeft=";
    return {
        {"no file: a read creates none", "", "M|k", ""},
        {"no file: a removal creates none", "", "M|k|", ""},
        {"Windows-1252 on disk", cp, "l|t", "Café €"},
        {"a 3 MB line reads cut", huge, "L|T", std::string(1023, 'x')},
        {"a 3 MB line is skipped", huge, "Main|Width", "7"},
        {"1023 characters, pair not split", "[s]\nk=" + pair + kEmoji, "s|k", pair},
        {"empty value removes the key, BOM kept", "\xEF\xBB\xBF[a]\nx=1\n", "a|x|",
         "\xEF\xBB\xBF[a]\n"},
        {"through a link: link and mode kept", "[Main]\n", "Main|Width|7", "[Main]\nWidth=7\n"},
        {"new text in UTF-8", "", "L|T|Été €", "[L]\nT=Été €\n"},
        {"unknown bytes kept", "[M]\nW=4\n" + bytes, "M|W|2", "[M]\nW=2\n" + bytes},
        {"UTF-16 LE", u16(u"1", true), "M|Left|-15", u16(u"-15", true)},
        {"UTF-16 BE", u16(u"1", false), "M|Left|-15", u16(u"-15", false)},
        {"UTF-8 with BOM, CRLF", text + "1\r\n", "M|Left|-15", text + "-15\r\n"},
        {"Windows-1252 new text", cp, "M|T|Été €", cp + "[M]\nT=\xC9t\xE9 \x80\n"},
        {"Windows-1252 cannot hold it: refused", cp, "M|T|" + kEmoji, cp},
        {"UTF-16, odd byte: refused", u16(u"1", true) + 'x', "M|L|1", u16(u"1", true) + 'x'},
    };
}

class File : public ::testing::TestWithParam<FileRow> {};

TEST_P(File, ReadsAndWrites) {
    const FileRow& row = GetParam();
    TempDir dir;
    const bool link = std::string(row.name).starts_with("through a link");
    const std::string file = dir.FilePath("Orvane.ini"), real = link ? dir.FilePath("real") : file;
    std::vector<std::string> part;
    for (const auto piece : std::views::split(row.op, '|'))
        part.emplace_back(piece.begin(), piece.end());
    const std::string after = part.size() == 2 ? row.before : row.expected;
    ASSERT_TRUE(row.before.empty() ||
                (WriteBytes(real, row.before) && ::chmod(real.c_str(), 0640) == 0));
    ASSERT_TRUE(!link || ::symlink(real.c_str(), file.c_str()) == 0);
    EXPECT_EQ(part.size() == 2 ? IniRead(part[0], part[1], file)
                               : (IniWrite(part[0], part[1], part[2], file), row.expected),
              row.expected);
    EXPECT_TRUE(ReadBytes(file) == after) << "the file's bytes after";
    EXPECT_TRUE(fs::exists(file) == !after.empty() && !fs::exists(real + ".tmp"))
        << "a file made, or a .tmp left";
    EXPECT_TRUE(part.size() == 2 || part[1].empty() || after == row.before ||
                IniRead(part[0], part[1], file) == part[2]);
    EXPECT_TRUE(row.before.empty() || (fs::is_symlink(file) == link &&
                                       fs::status(real).permissions() == fs::perms(0640)));
}

// Reads give what can be read; writes change nothing, leave nothing behind; nothing waits: the
// calls run in a fork, and one held up on the FIFO fails the row at the guard's time. Each row is
// the shell command, run in the folder, that makes what the calls meet in the file's place.
class Refused : public ::testing::TestWithParam<const char*> {};

TEST_P(Refused, ChangesNothing) {
    const std::string kind = GetParam();
    const bool whole = kind.starts_with("chmod"), readable = whole && !kind.starts_with("chmod 0");
    if (whole && !RunWithoutFileRights())
        return;
    TempDir dir;
    const std::string folder = dir.Path(), file = folder + "/Orvane.ini", before = "[Main]\nW=1\n";
    ASSERT_TRUE(!whole || WriteBytes(file, before));
    ASSERT_EQ(RunProgram({"sh", "-c", "cd \"$0\" && " + kind, folder}), 0);
    const auto type = fs::symlink_status(file).type();
    Process calls([&] {
        const std::string first = IniRead("Main", "W", file);
        IniRead("Main", "", file);
        for (const auto& [key, value] : {std::pair{"W", "2"}, {"W", ""}, {"", ""}})
            IniWrite("Main", key, value, file);
        return std::printf("%s %s\n", first.c_str(), IniRead("Main", "W", file).c_str()) < 0;
    });
    EXPECT_EQ(calls.ReadLine(), readable ? "1 1\n" : " \n");
    calls.Kill();
    EXPECT_FALSE(fs::exists(file + ".tmp"));
    ::chmod(folder.c_str(), 0700), ::chmod(file.c_str(), 0600);
    EXPECT_TRUE(!whole || ReadBytes(file) == before);
    EXPECT_EQ(fs::symlink_status(file).type(), type) << "the file replaced";
}

// Killed amid a write once bytes of it are out (the temporary file holds more of them each round,
// or the file itself changed): the file is the old or the new one, nothing else.
TEST(Writers, KilledWriterLeavesOldOrNew) {
    TempDir dir;
    const std::string file = dir.FilePath("Orvane.ini");
    std::error_code missing; // a missing file's size: -1
    const auto size = [&](auto path) { return (long long)fs::file_size(path, missing); };
    ASSERT_TRUE(WriteBytes(file, BigFile('a')));
    const long long whole = size(file);
    for (int round = 0; round < 12; ++round) {
        Process writer([&]() -> int {
            for (int write = round;; ++write) { // says so after each completed write
                IniWrite("Big", "value", std::string(300000, char('a' + write % 26)), file);
                std::puts("w"), std::fflush(stdout);
            }
        });
        ASSERT_EQ(writer.ReadLine(), "w\n") << "the writer ended";
        while (size(file) == whole && size(file + ".tmp") < round * 25000) {
        }
        writer.Kill();
        ASSERT_EQ(writer.Wait(), SIGKILL);
        const std::string content = ReadBytes(file);
        const std::size_t at = content.find("value=");
        ASSERT_TRUE(at != std::string::npos && content == BigFile(content.at(at + 6)))
            << "file missing, cut or mixed";
    }
    // The next write clears what a killed writer left of its temporary file.
    IniWrite("Big", "value", "short", file);
    EXPECT_EQ(IniRead("Big", "value", file), "short");
    EXPECT_FALSE(fs::exists(file + ".tmp"));
}

TEST(Writers, TwoWritersLoseNoKey) {
    TempDir dir;
    const std::string file = dir.FilePath("Orvane.ini");
    std::vector<pid_t> writers;
    for (const char* prefix : {"a", "b"})
        writers.push_back(Fork([&] {
            for (int i = 0; i < 40; ++i)
                IniWrite("Keys", prefix + std::to_string(i), std::to_string(i), file);
        }));
    ASSERT_EQ(Wait(writers[0]) | Wait(writers[1]), 0);
    for (int i = 0; i < 80; ++i)
        EXPECT_EQ(IniRead("Keys", "ab"[i % 2] + std::to_string(i / 2), file),
                  std::to_string(i / 2));
}

INSTANTIATE_TEST_SUITE_P(Rows, File, ::testing::ValuesIn(FileRows()),
                         [](const auto& info) { return RowName(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Kinds, Refused,
                         ::testing::Values("chmod 444 Orvane.ini", "chmod 555 .",
                                           "chmod 0 Orvane.ini", "mkdir Orvane.ini",
                                           "mkfifo Orvane.ini", "ln -s Orvane.ini Orvane.ini"),
                         [](const auto& info) { return RowName(info.param); });
} // namespace
