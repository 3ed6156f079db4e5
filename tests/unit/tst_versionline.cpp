// The About box's version line: the minor number in two digits, the revision in four.
#include "about/ProgramInfo.h"

#include <QTest>

class TestVersionLine : public QObject {
    Q_OBJECT
private slots:
    void versionLine_data() {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("expected");
        QTest::newRow("this version")
            << 1 << 3 << 0 << QStringLiteral("Version 1.03 révision 0000");
        QTest::newRow("two-digit minor")
            << 2 << 10 << 42 << QStringLiteral("Version 2.10 révision 0042");
        QTest::newRow("long minor keeps last two")
            << 1 << 12345 << 7 << QStringLiteral("Version 1.45 révision 0007");
        QTest::newRow("long revision keeps last four")
            << 2 << 5 << 123456 << QStringLiteral("Version 2.05 révision 3456");
        QTest::newRow("four-digit revision")
            << 10 << 0 << 9999 << QStringLiteral("Version 10.00 révision 9999");
        QTest::newRow("largest 16-bit numbers")
            << 32767 << 32767 << 32767 << QStringLiteral("Version 32767.67 révision 2767");
    }
    void versionLine() {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, revision);
        QFETCH(QString, expected);
        QCOMPARE(ProgramInfo::VersionLine(major, minor, revision), expected);
    }
};

QTEST_APPLESS_MAIN(TestVersionLine)
#include "tst_versionline.moc"
