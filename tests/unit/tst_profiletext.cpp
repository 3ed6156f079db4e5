// The profile format on byte buffers: files written elsewhere, edits that keep every other
// byte, the buffer limits, and the time taken on very large files.
#include "platform/ProfileText.h"

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTest>

using namespace platform;

class TestProfileText : public QObject {
    Q_OBJECT
private slots:
    void value_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("value");
        QTest::newRow("plain") << QByteArray("[Main]\nWidth=4000\n") << "Main"
                               << "Width" << true << "4000";
        QTest::newRow("names in capitals") << QByteArray("[MAIN]\nWINDOWSTATE=2\n") << "Main"
                                           << "WindowState" << true << "2";
        QTest::newRow("crlf") << QByteArray("[Main]\r\nLeft=15\r\nTop=3\r\n") << "main"
                              << "left" << true << "15";
        QTest::newRow("blanks around =") << QByteArray("[Main]\n  Left \t=   15 \t\n") << "Main"
                                         << "Left" << true << "15";
        QTest::newRow("blanks in brackets") << QByteArray("  [ Main ]  ; note\nLeft=1\n") << "Main"
                                            << "Left" << true << "1";
        QTest::newRow("double quotes") << QByteArray("[s]\nk=\" a b \"\n") << "s"
                                       << "k" << true << " a b ";
        QTest::newRow("single quotes") << QByteArray("[s]\nk='x y'\n") << "s"
                                       << "k" << true << "x y";
        QTest::newRow("one quote stays") << QByteArray("[s]\nk=\"x\n") << "s"
                                         << "k" << true << "\"x";
        QTest::newRow("unlike quotes stay") << QByteArray("[s]\nk=\"x'\n") << "s"
                                            << "k" << true << "\"x'";
        QTest::newRow("; comment") << QByteArray("[s]\n;k=1\n  ; k=3\nk=2\n") << "s"
                                   << "k" << true << "2";
        QTest::newRow("# comment") << QByteArray("[s]\n#k=1\nk=2\n") << "s"
                                   << "k" << true << "2";
        QTest::newRow("first key wins") << QByteArray("[s]\nk=1\nK=2\n") << "s"
                                        << "k" << true << "1";
        QTest::newRow("first section wins") << QByteArray("[s]\na=1\n[S]\nb=2\n") << "s"
                                            << "b" << false << "";
        QTest::newRow("key of another section") << QByteArray("[a]\nk=1\n[b]\nj=2\n") << "b"
                                                << "k" << false << "";
        QTest::newRow("entry before any section") << QByteArray("k=1\n[s]\n") << "s"
                                                  << "k" << false << "";
        QTest::newRow("windows-1252 value") << QByteArray("[s]\nk=caf\xE9 \x80\n") << "s"
                                            << "k" << true << u"café €"_qs;
        QTest::newRow("utf-8 value") << QByteArray("[s]\nk=caf\xC3\xA9\n") << "s"
                                     << "k" << true << u"café"_qs;
        QTest::newRow("windows-1252 names, other case")
            << QByteArray("[Donn\xE9"
                          "es]\ncl\xE9=1\n")
            << u"DONNÉES"_qs << u"CLÉ"_qs << true << "1";
        QTest::newRow("byte order mark") << QByteArray("\xEF\xBB\xBF[s]\nk=1\n") << "s"
                                         << "k" << true << "1";
        QTest::newRow("no final line end") << QByteArray("[s]\nk=1") << "s"
                                           << "k" << true << "1";
        QTest::newRow("empty value") << QByteArray("[s]\nk=\n") << "s"
                                     << "k" << true << "";
        QTest::newRow("= in value") << QByteArray("[s]\nk=a=b\n") << "s"
                                    << "k" << true << "a=b";
        QTest::newRow("line without =") << QByteArray("[s]\njunk\nk=1\n") << "s"
                                        << "junk" << false << "";
        QTest::newRow("section without ]") << QByteArray("[s\nk=1\n") << "s"
                                           << "k" << true << "1";
        QTest::newRow("empty text") << QByteArray() << "s"
                                    << "k" << false << "";
    }
    void value() {
        QFETCH(QByteArray, text);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(bool, found);
        QFETCH(QString, value);
        const std::optional<QString> read = ProfileValue(text, section, key);
        QCOMPARE(read.has_value(), found);
        QCOMPARE(read.value_or(QString()), value);
    }

    void keyNames_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("section");
        QTest::addColumn<bool>("found");
        QTest::addColumn<QStringList>("names");
        const QByteArray text("[Main]\nWindowState=2\n; Left=0\nLeft = 1\n\n[Liens]\nTitre1=A\n");
        QTest::newRow("in file order")
            << text << "main" << true << QStringList{"WindowState", "Left"};
        QTest::newRow("empty section")
            << QByteArray("[a]\n[b]\nk=1\n") << "a" << true << QStringList();
        QTest::newRow("missing section") << text << "Other" << false << QStringList();
    }
    void keyNames() {
        QFETCH(QByteArray, text);
        QFETCH(QString, section);
        QFETCH(bool, found);
        QFETCH(QStringList, names);
        const std::optional<QStringList> read = ProfileKeyNames(text, section);
        QCOMPARE(read.has_value(), found);
        QCOMPARE(read.value_or(QStringList()), names);
        QCOMPARE(ProfileSectionNames(text + "[Z]\n").last(), QString("Z"));
    }

    void edit_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("new file") << QByteArray() << "set"
                                  << "Main"
                                  << "WindowState" << QByteArray("[Main]\nWindowState=v\n");
        QTest::newRow("replace in place, crlf and comments kept")
            << QByteArray("; c\r\n[Main]\r\n  Left = 1\r\nTop=2\r\n[Other]\r\nx=y\r\n") << "set"
            << "MAIN"
            << "left" << QByteArray("; c\r\n[Main]\r\n  Left=v\r\nTop=2\r\n[Other]\r\nx=y\r\n");
        QTest::newRow("new key after the section's last entry")
            << QByteArray("[a]\nx=1\n\n; b follows\n[b]\ny=2\n") << "set"
            << "a"
            << "z" << QByteArray("[a]\nx=1\nz=v\n\n; b follows\n[b]\ny=2\n");
        QTest::newRow("new key in a section without entries")
            << QByteArray("[a]\n[b]\n") << "set"
            << "a"
            << "z" << QByteArray("[a]\nz=v\n[b]\n");
        QTest::newRow("new section at the end, no final line end")
            << QByteArray("[a]\nx=1") << "set"
            << "b"
            << "k" << QByteArray("[a]\nx=1\n[b]\nk=v\n");
        QTest::newRow("new section takes the file's crlf")
            << QByteArray("[a]\r\nx=1\r\n") << "set"
            << "b"
            << "k" << QByteArray("[a]\r\nx=1\r\n[b]\r\nk=v\r\n");
        QTest::newRow("replace the last line without line end") << QByteArray("[a]\nx=1") << "set"
                                                                << "a"
                                                                << "x" << QByteArray("[a]\nx=v");
        QTest::newRow("only the first duplicate replaced")
            << QByteArray("[a]\nx=1\nx=2\n[a]\nx=3\n") << "set"
            << "a"
            << "x" << QByteArray("[a]\nx=v\nx=2\n[a]\nx=3\n");
        QTest::newRow("windows-1252 bytes elsewhere kept")
            << QByteArray("[a]\nk=caf\xE9\n[b]\n") << "set"
            << "b"
            << "j" << QByteArray("[a]\nk=caf\xE9\n[b]\nj=v\n");
        QTest::newRow("other lines kept") << QByteArray("junk\n[a]\nnot an entry\nx=1\n") << "set"
                                          << "a"
                                          << "x" << QByteArray("junk\n[a]\nnot an entry\nx=v\n");
        QTest::newRow("remove key") << QByteArray("[a]\r\nx=1\r\ny=2\r\n") << "removeKey"
                                    << "a"
                                    << "X" << QByteArray("[a]\r\ny=2\r\n");
        QTest::newRow("remove missing key") << QByteArray("[a]\ny=2\n") << "removeKey"
                                            << "a"
                                            << "x" << QByteArray("[a]\ny=2\n");
        QTest::newRow("remove key, byte order mark kept")
            << QByteArray("\xEF\xBB\xBF[a]\nx=1\n") << "removeKey"
            << "a"
            << "x" << QByteArray("\xEF\xBB\xBF[a]\n");
        QTest::newRow("remove section")
            << QByteArray("; top\n[a]\nx=1\n[b]\ny=2\n[c]\n") << "removeSection"
            << "B"
            << "" << QByteArray("; top\n[a]\nx=1\n[c]\n");
        QTest::newRow("remove last section") << QByteArray("[a]\nx=1\n[b]\ny=2") << "removeSection"
                                             << "b"
                                             << "" << QByteArray("[a]\nx=1\n");
        QTest::newRow("remove the first of two sections")
            << QByteArray("[a]\nx=1\n[A]\nx=2\n") << "removeSection"
            << "a"
            << "" << QByteArray("[A]\nx=2\n");
        QTest::newRow("remove missing section") << QByteArray("[a]\n") << "removeSection"
                                                << "b"
                                                << "" << QByteArray("[a]\n");
    }
    void edit() {
        QFETCH(QByteArray, before);
        QFETCH(QString, operation);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QByteArray, after);
        QByteArray edited;
        if (operation == "set") {
            edited = SetProfileValue(before, section, key, u"v");
            QCOMPARE(ProfileValue(edited, section, key), QString("v"));
        } else if (operation == "removeKey") {
            edited = RemoveProfileKey(before, section, key);
        } else {
            edited = RemoveProfileSection(before, section);
        }
        QCOMPARE(edited, after);
    }

    void writtenInUtf8() {
        const QByteArray edited = SetProfileValue("", u"Liens", u"Titre1", u"Été €");
        QCOMPARE(edited, QByteArray("[Liens]\nTitre1=\xC3\x89t\xC3\xA9 \xE2\x82\xAC\n"));
        QCOMPARE(ProfileValue(edited, u"liens", u"titre1"), u"Été €"_qs);
    }

    void cut_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        const QString emoji = u"\U0001F600"_qs;
        QTest::newRow("1023 fit") << QString(1023, 'x') << QString(1023, 'x');
        QTest::newRow("1024 cut") << QString(1024, 'x') << QString(1023, 'x');
        QTest::newRow("accented letters count once") << QString(1100, u'é') << QString(1023, u'é');
        QTest::newRow("a pair counts once")
            << QString(1022, 'x') + emoji << QString(1022, 'x') + emoji;
        QTest::newRow("pair not split") << QString(1023, 'x') + emoji << QString(1023, 'x');
    }
    void cut() {
        QFETCH(QString, value);
        QFETCH(QString, expected);
        QCOMPARE(CutToBuffer(value, 1024), expected);
    }

    void nameList_data() {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("expected");
        QTest::newRow("fits") << QStringList{"ab", "c"} << 1024 << QString::fromUtf8("ab\0c\0", 5);
        QTest::newRow("exactly fits")
            << QStringList{"ab", "c"} << 6 << QString::fromUtf8("ab\0c\0", 5);
        QTest::newRow("last name cut")
            << QStringList{"ab", "cde"} << 6 << QString::fromUtf8("ab\0c\0", 4);
        QTest::newRow("none") << QStringList() << 1024 << QString();
    }
    void nameList() {
        QFETCH(QStringList, names);
        QFETCH(int, size);
        QFETCH(QString, expected);
        QCOMPARE(NameListForBuffer(names, size), expected);
    }

    // Any garbage around: no crash, and a value set reads back.
    void randomTexts() {
        QRandomGenerator random(20261206);
        const char alphabet[] = "[]=;#ab \t\r\n\"'\xE9\xC3";
        for (int round = 0; round < 3000; ++round) {
            QByteArray text;
            const int length = random.bounded(60);
            for (int i = 0; i < length; ++i) {
                text += alphabet[random.bounded(static_cast<int>(sizeof alphabet) - 1)];
            }
            const QString section = random.bounded(2) ? "a" : "b";
            const QString key = random.bounded(2) ? "a" : "k";
            const QByteArray edited = SetProfileValue(text, section, key, u"value");
            QCOMPARE(ProfileValue(edited, section, key), QString("value"));
            RemoveProfileKey(text, section, key);
            RemoveProfileSection(text, section);
            ProfileKeyNames(text, section);
            DecodeProfileBytes(text);
        }
    }

    void largeTextTakesLinearTime() {
        QByteArray text;
        for (int i = 0; i < 100000; ++i) {
            text += "[S" + QByteArray::number(i) + "]\nkey=" + QByteArray(20, 'x') + "\n";
        }
        text += "[Main]\nWidth=1\n";
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(ProfileValue(text, u"main", u"width"), QString("1"));
        const QByteArray edited = SetProfileValue(text, u"Main", u"Width", u"2");
        QCOMPARE(RemoveProfileSection(edited, u"S99999").size(), text.size() - 34);
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    }
};

QTEST_APPLESS_MAIN(TestProfileText)
#include "tst_profiletext.moc"
