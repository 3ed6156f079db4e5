// The pattern matcher of the instance search.
#include "app/Like.h"

#include <QElapsedTimer>
#include <QTest>

using BrowserMod1::Like;

class TestLike : public QObject {
    Q_OBJECT
private slots:
    void like_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<bool>("matches");

        // Instance captions and classes.
        const QString caption = QStringLiteral("*Navigateur Ulmeco");
        QTest::newRow("prefix alone") << "Navigateur Ulmeco" << caption << true;
        QTest::newRow("page title") << "Accueil - Navigateur Ulmeco" << caption << true;
        QTest::newRow("case of one letter") << "Navigateur ulmeco" << caption << false;
        QTest::newRow("blank after") << "Navigateur Ulmeco " << caption << false;
        QTest::newRow("text after") << "Navigateur Ulmeco - x" << caption << false;
        QTest::newRow("empty caption") << "" << caption << false;
        QTest::newRow("prefix repeated")
            << "Navigateur Ulmeco - Navigateur Ulmeco" << caption << true;
        QTest::newRow("class exact") << "ThunderRT6FormDC"
                                     << "ThunderRT6FormDC" << true;
        QTest::newRow("class case") << "ThunderRT6FormDc"
                                    << "ThunderRT6FormDC" << false;
        QTest::newRow("class shorter") << "ThunderRT6Form"
                                       << "ThunderRT6FormDC" << false;
        QTest::newRow("class longer") << "ThunderRT6FormDCx"
                                      << "ThunderRT6FormDC" << false;

        // Whole text against whole pattern.
        QTest::newRow("empty both") << ""
                                    << "" << true;
        QTest::newRow("empty pattern") << "a"
                                       << "" << false;
        QTest::newRow("literal") << "abc"
                                 << "abc" << true;
        QTest::newRow("literal prefix only") << "abcd"
                                             << "abc" << false;

        // * ? #
        QTest::newRow("star alone, empty text") << ""
                                                << "*" << true;
        QTest::newRow("star alone") << "anything"
                                    << "*" << true;
        QTest::newRow("stars") << "abc"
                               << "**a**c**" << true;
        QTest::newRow("star in middle") << "a--b"
                                        << "a*b" << true;
        QTest::newRow("star zero chars") << "ab"
                                         << "a*b" << true;
        QTest::newRow("star needs retry") << "abcbcd"
                                          << "a*bcd" << true;
        QTest::newRow("star no end") << "abcbce"
                                     << "a*bcd" << false;
        QTest::newRow("question") << "abc"
                                  << "a?c" << true;
        QTest::newRow("question needs one") << "ac"
                                            << "a?c" << false;
        QTest::newRow("question empty text") << ""
                                             << "?" << false;
        QTest::newRow("question beyond BMP")
            << QString::fromUtf8("a\xF0\x9F\x98\x80z") << "a?z" << true;
        QTest::newRow("digit") << "a7"
                               << "a#" << true;
        QTest::newRow("digit zero and nine") << "09"
                                             << "##" << true;
        QTest::newRow("digit letter") << "ax"
                                      << "a#" << false;
        QTest::newRow("digit other script") << QString::fromUtf8("\xD9\xA3") << "#" << false;

        // Lists and ranges.
        QTest::newRow("list") << "b"
                              << "[abc]" << true;
        QTest::newRow("list miss") << "d"
                                   << "[abc]" << false;
        QTest::newRow("range low end") << "a"
                                       << "[a-z]" << true;
        QTest::newRow("range high end") << "z"
                                        << "[a-z]" << true;
        QTest::newRow("range upper case") << "A"
                                          << "[a-z]" << false;
        QTest::newRow("range by code") << "_"
                                       << "[A-z]" << true;
        QTest::newRow("ranges and chars") << "5"
                                          << "[a-c0-9x]" << true;
        QTest::newRow("list is one char") << "ab"
                                          << "[ab]" << false;
        QTest::newRow("negated") << "d"
                                 << "[!abc]" << true;
        QTest::newRow("negated miss") << "b"
                                      << "[!abc]" << false;
        QTest::newRow("negated range") << "Q"
                                       << "[!a-z]" << true;
        QTest::newRow("negated range miss") << "q"
                                            << "[!a-z]" << false;
        QTest::newRow("negated needs a char") << ""
                                              << "[!a]" << false;
        QTest::newRow("bang not first") << "!"
                                        << "[a!]" << true;
        QTest::newRow("wildcards in list") << "*"
                                           << "[*?#]" << true;
        QTest::newRow("star in list is literal") << "x"
                                                 << "[*]" << false;
        QTest::newRow("bracket in list") << "["
                                         << "[[]" << true;

        // Hyphens.
        QTest::newRow("hyphen first") << "-"
                                      << "[-a]" << true;
        QTest::newRow("hyphen last") << "-"
                                     << "[a-]" << true;
        QTest::newRow("hyphen last, other") << "a"
                                            << "[a-]" << true;
        QTest::newRow("hyphen last, between") << "b"
                                              << "[a-]" << false;
        QTest::newRow("hyphen after bang") << "-"
                                           << "[!-a]" << false;
        QTest::newRow("hyphen after range") << "-"
                                            << "[a-c-e]" << true;
        QTest::newRow("hyphen outside list") << "a-b"
                                             << "a-b" << true;

        // Malformed patterns read as documented.
        QTest::newRow("unclosed bracket literal") << "[ab"
                                                  << "[ab" << true;
        QTest::newRow("unclosed bracket not a list") << "a"
                                                     << "[ab" << false;
        QTest::newRow("unclosed after star") << "x["
                                             << "*[" << true;
        QTest::newRow("closing bracket alone") << "a]"
                                               << "a]" << true;
        QTest::newRow("empty list is nothing") << "ab"
                                               << "a[]b" << true;
        QTest::newRow("empty list takes no char") << "axb"
                                                  << "a[]b" << false;
        QTest::newRow("empty list alone") << ""
                                          << "[]" << true;
        QTest::newRow("empty list then bracket") << "]"
                                                 << "[]]" << true;
        QTest::newRow("negated empty list") << "x"
                                            << "[!]" << true;
        QTest::newRow("negated empty list needs one") << ""
                                                      << "[!]" << false;
        QTest::newRow("reversed range") << "m"
                                        << "[z-a]" << false;
        QTest::newRow("reversed range ends") << "a"
                                             << "[z-a]" << false;
        QTest::newRow("reversed range with char") << "q"
                                                  << "[z-aq]" << true;
        QTest::newRow("negated reversed range") << "m"
                                                << "[!z-a]" << true;

        // Case and code comparison.
        QTest::newRow("case differs") << "ABC"
                                      << "abc" << false;
        QTest::newRow("accented") << QString::fromUtf8("\xC3\xA9t\xC3\xA9")
                                  << QString::fromUtf8("\xC3\xA9t?") << true;
        QTest::newRow("accent differs") << "ete" << QString::fromUtf8("\xC3\xA9te") << false;
    }
    void like() {
        QFETCH(QString, text);
        QFETCH(QString, pattern);
        QFETCH(bool, matches);
        QCOMPARE(Like(text, pattern), matches);
    }

    void pathologicalPatternIsFast() {
        const QString text = QString(20000, u'a');
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!Like(text, QStringLiteral("*a*a*a*a*a*a*a*a*b")));
        QVERIFY(Like(text + u'b', QStringLiteral("*a*a*a*a*a*a*a*a*b")));
        QVERIFY(!Like(text, QStringLiteral("*aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab*")));
        QVERIFY(timer.elapsed() < 1000);
    }
};

QTEST_GUILESS_MAIN(TestLike)
#include "tst_like.moc"
