// The settings file: what reads yield, which bytes writes leave, files that cannot be read or
// written, and writers that die or run at once (forked copies of this process).
#include "settings/Ini.h"

#include "support/Files.h"

#include <condition_variable>
#include <csignal>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>

using namespace BrowserMod1;
using namespace testsupport;
using namespace std::string_literals;

namespace {
const std::string kEmoji = "\U0001F600";

std::string BigFile(char letter) {
    return "; kept\n[Head]\nkeep=1\n[Big]\nvalue=" + std::string(300000, letter) + "\n[T]\nk=2\n";
}

std::string Utf16(const std::u16string& text, bool le) { // after its byte order mark
    std::string bytes;
    for (const char16_t unit : u"\uFEFF" + text) {
        const char low = char(unit & 0xFF), high = char(unit >> 8);
        bytes += le ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

bool Exists(const std::string& path) {
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

// Files on disk (the rules are fuzzed in memory): writes leave the other bytes as they were.
struct FileRow {
    const char* name;
    std::string before;
    std::string op;       // "section|key" reads, "section|key|value" writes
    std::string expected; // the value read, or the file's bytes after
};

std::vector<FileRow> FileRows() {
    const std::string huge = "[L]\nT=" + std::string(3 << 20, 'x') + "\n[Main]\nWidth=7";
    std::string pair, bytes, cp = "[L]\nT=Caf\xE9 \x80\n";
    for (int i = 0; i < 1022; ++i) {
        pair += "é";
    }
    pair += kEmoji;
    for (int i = 0; i < 256 * 4; ++i) { // every byte value, '[' aside
        bytes += char(i % 256 == '[' ? 0 : i % 256);
    }
    const std::u16string text16 = u"; L\r\n[Liens]\r\nT=Caf\u00E9 \U0001F600\r\n[M]\r\nLeft=1\r\n";
    std::u16string written16 = text16;
    written16.replace(written16.find(u"Left=1"), 6, u"Left=-15");
    const std::string text = "; L\r\n[Liens]\r\nT=Café 😀\r\n[M]\r\nLeft=1\r\n";
    const std::string written = Replaced(text, "Left=1", "Left=-15");
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
        {"last line ending in a lone CR", "[L]\r\nA=a\r", "L|T|D", "[L]\r\nA=a\r\nT=D\r\n"},
        {"UTF-16 LE", Utf16(text16, true), "M|Left|-15", Utf16(written16, true)},
        {"UTF-16 BE", Utf16(text16, false), "M|Left|-15", Utf16(written16, false)},
        {"UTF-8 with BOM", "\xEF\xBB\xBF" + text, "M|Left|-15", "\xEF\xBB\xBF" + written},
        {"Windows-1252 new text", cp, "M|T|Été €", cp + "[M]\nT=\xC9t\xE9 \x80\n"},
        {"Windows-1252 cannot hold it: refused", cp, "M|T|" + kEmoji, cp},
        {"UTF-16, odd byte: refused", Utf16(text16, true) + 'x', "M|L|1",
         Utf16(text16, true) + 'x'},
    };
}

class File : public ::testing::TestWithParam<FileRow> {};

TEST_P(File, ReadsAndWrites) {
    const FileRow& row = GetParam();
    TempDir dir;
    const bool link = std::string(row.name).starts_with("through a link");
    const std::string file = dir.FilePath("Orvane.ini"), real = link ? dir.FilePath("real") : file;
    std::vector<std::string> part(1);
    for (const char c : row.op) {
        c == '|' ? (void)part.emplace_back() : part.back().push_back(c);
    }
    const std::string after = part.size() == 2 ? row.before : row.expected;
    ASSERT_TRUE(row.before.empty() ||
                (WriteBytes(real, row.before) && ::chmod(real.c_str(), 0640) == 0));
    ASSERT_TRUE(!link || ::symlink(real.c_str(), file.c_str()) == 0);
    if (part.size() == 2) {
        EXPECT_EQ(IniRead(part[0], part[1], file), row.expected);
    } else {
        IniWrite(part[0], part[1], part[2], file);
    }
    EXPECT_TRUE(ReadBytes(file) == after) << "the file's bytes after";
    std::vector<std::string> left; // no .tmp left
    for (const std::string& name : FolderEntries(dir.Path())) {
        if (name.ends_with("ini") || name.find("tmp") != std::string::npos) {
            left.push_back(name);
        }
    }
    EXPECT_EQ(left, after.empty() ? std::vector<std::string>{} : std::vector{"Orvane.ini"s});
    EXPECT_TRUE(part.size() == 2 || part[1].empty() || after == row.before ||
                IniRead(part[0], part[1], file) == part[2]);
    struct stat linkInfo, realInfo;
    EXPECT_TRUE(row.before.empty() ||
                (::lstat(file.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode) == link &&
                 ::stat(real.c_str(), &realInfo) == 0 && (realInfo.st_mode & 07777) == 0640));
}

// Reads give what can be read; writes change nothing, leave nothing behind; nothing waits.
class Refused : public ::testing::TestWithParam<const char*> {};

TEST_P(Refused, ChangesNothing) {
    const std::string kind = GetParam();
    const bool whole = kind.starts_with("read-only") || kind == "mode 000";
    if (whole && !RunWithoutFileRights()) {
        return;
    }
    TempDir dir;
    const std::string folder = dir.Path(), file = folder + "/Orvane.ini";
    const std::string before = "[Main]\nWidth=1\n; kept\n";
    const auto giveBack = [&] { ::chmod(folder.c_str(), 0700), ::chmod(file.c_str(), 0600); };
    struct Guard {
        std::function<void()> atEnd;
        ~Guard() { atEnd(); }
    } guardRights{giveBack};
    ASSERT_TRUE(!whole || WriteBytes(file, before));
    bool heldUp = false;
    std::mutex mutex;
    std::condition_variable_any wake;
    std::jthread writer; // a read still waiting after 30 s is let go, and the row fails
    if (kind == "read-only file" || kind == "mode 000") {
        ASSERT_EQ(::chmod(file.c_str(), kind == "mode 000" ? 0 : 0444), 0);
    } else if (kind == "read-only folder") {
        ASSERT_EQ(::chmod(folder.c_str(), 0555), 0);
    } else if (kind == "a folder" || kind == "a link to itself") {
        ASSERT_EQ(kind == "a folder" ? ::mkdir(file.c_str(), 0700)
                                     : ::symlink(file.c_str(), file.c_str()),
                  0);
    } else if (kind == "a FIFO") {
        ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
        writer = std::jthread([&](std::stop_token stop) {
            std::unique_lock lock(mutex);
            for (std::chrono::milliseconds wait = std::chrono::seconds(30);
                 !wake.wait_for(lock, stop, wait, [] { return false; }) && !stop.stop_requested();
                 wait = std::chrono::milliseconds(1)) {
                const int fd = ::open(file.c_str(), O_WRONLY | O_NONBLOCK);
                heldUp = heldUp || fd >= 0;
                if (fd >= 0) {
                    ::close(fd);
                }
            }
        });
    }
    const std::string readable = kind.starts_with("read-only") ? "1" : "";
    EXPECT_EQ(IniRead("Main", "Width", file), readable);
    IniRead("Main", "", file);
    for (const auto& [key, value] : {std::pair{"Width", "2"}, {"Width", ""}, {"", ""}}) {
        IniWrite("Main", key, value, file);
    }
    writer = {};
    EXPECT_FALSE(heldUp) << "a read waited on the FIFO for a writer";
    EXPECT_EQ(IniRead("Main", "Width", file), readable);
    for (const std::string& name : FolderEntries(folder)) {
        EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
    }
    giveBack();
    EXPECT_TRUE(!whole || ReadBytes(file) == before);
}

// Forked writers: each completed write is told through the pipe by one byte.
struct Pipe {
    int fd[2] = {-1, -1};
    Pipe() {
        if (::pipe2(fd, O_CLOEXEC) != 0) {
            fd[0] = fd[1] = -1;
        }
    }
    ~Pipe() { Close(0), Close(1); }
    void Close(int end) {
        if (fd[end] >= 0) {
            ::close(std::exchange(fd[end], -1));
        }
    }
};

// The writer starts when the test closes start's writing end, and never returns.
pid_t StartWriter(Pipe& told, Pipe& start, const std::function<void(int)>& write) {
    const pid_t child = ::fork();
    if (child == 0) {
        char go;
        start.Close(1);
        if (::read(start.fd[0], &go, 1) != 0) {
            ::_exit(1);
        }
        for (int round = 0;; ++round) {
            write(round);
            if (::write(told.fd[1], "w", 1) != 1) {
                ::_exit(0);
            }
        }
    }
    return child;
}

// It is killed right after one write, amid the next; the file is the old or the new one.
TEST(Writers, KilledWriterLeavesOldOrNew) {
    TempDir dir;
    const std::string file = dir.FilePath("Orvane.ini");
    ASSERT_TRUE(WriteBytes(file, BigFile('a')));
    for (int round = 0; round < 12; ++round) {
        Pipe told, start;
        start.Close(1);
        const pid_t writer = StartWriter(told, start, [&](int write) {
            IniWrite("Big", "value", std::string(300000, char('a' + (round + write) % 26)), file);
        });
        ASSERT_GT(writer, 0);
        char byte;
        for (int written = 0, wanted = 1 + round * 7 % 3; written < wanted; ++written) {
            ASSERT_EQ(::read(told.fd[0], &byte, 1), 1) << "the writer ended";
        }
        ::kill(writer, SIGKILL);
        ASSERT_EQ(::waitpid(writer, nullptr, 0), writer);
        const std::string content = ReadBytes(file);
        const std::size_t at = content.find("value=");
        ASSERT_TRUE(at != std::string::npos && content == BigFile(content.at(at + 6)))
            << "file missing, cut or mixed";
    }
    // The next write clears what a killed writer left of its temporary file.
    IniWrite("Big", "value", "short", file);
    EXPECT_EQ(IniRead("Big", "value", file), "short");
    EXPECT_FALSE(Exists(file + ".tmp"));
}

TEST(Writers, TwoWritersLoseNoKey) {
    TempDir dir;
    const std::string file = dir.FilePath("Orvane.ini");
    Pipe told, start;
    std::vector<pid_t> writers;
    for (const char* prefix : {"a", "b"}) {
        writers.push_back(StartWriter(told, start, [&](int i) {
            i < 40 ? IniWrite("Keys", prefix + std::to_string(i), std::to_string(i), file)
                   : ::_exit(0);
        }));
    }
    start.Close(1); // both go at once
    for (const pid_t writer : writers) {
        int status = -1;
        ASSERT_EQ(::waitpid(writer, &status, 0), writer);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int i = 0; i < 80; ++i) {
        EXPECT_EQ(IniRead("Keys", "ab"s[i % 2] + std::to_string(i / 2), file),
                  std::to_string(i / 2));
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, File, ::testing::ValuesIn(FileRows()),
                         [](const auto& info) { return RowName(info.param.name); });
INSTANTIATE_TEST_SUITE_P(Kinds, Refused,
                         ::testing::Values("read-only file", "read-only folder", "mode 000",
                                           "a folder", "a FIFO", "a link to itself"),
                         [](const auto& info) { return RowName(info.param); });
} // namespace
