// The leading-number parse of settings values and the rounding to a 32-bit integer.
#include "settings/LeadingNumber.h"

#include <QTest>
#include <limits>

using namespace BrowserMod1;

class TestLeadingNumber : public QObject {
    Q_OBJECT
private slots:
    void val_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("number");
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("letters") << "abc" << 0.0;
        QTest::newRow("whole") << "4000" << 4000.0;
        QTest::newRow("negative") << "-150" << -150.0;
        QTest::newRow("plus") << "+7" << 7.0;
        QTest::newRow("decimal comma stops") << "120,5" << 120.0;
        QTest::newRow("decimal point") << "120.5" << 120.5;
        QTest::newRow("point first") << ".5" << 0.5;
        QTest::newRow("blanks inside") << " 1 2 0 " << 120.0;
        QTest::newRow("tab and line feed") << "\t-3\n5" << -35.0;
        QTest::newRow("carriage return stops") << "1\r2" << 1.0;
        QTest::newRow("second point stops") << "1.2.3" << 1.2;
        QTest::newRow("second sign stops") << "--5" << 0.0;
        QTest::newRow("sign after digits stops") << "5-3" << 5.0;
        QTest::newRow("trailing text") << "12px" << 12.0;
        QTest::newRow("no exponent") << "1e5" << 1.0;
        QTest::newRow("no radix prefix") << "&H10" << 0.0;
        QTest::newRow("sign alone") << "-" << 0.0;
        QTest::newRow("huge") << "99999999999999999999" << 1e20;
        QTest::newRow("beyond a double")
            << QString(400, '9') << std::numeric_limits<double>::infinity();
        QTest::newRow("tiny") << "0." + QString(400, '0') + "1" << 0.0;
    }
    void val() {
        QFETCH(QString, text);
        QFETCH(double, number);
        QCOMPARE(Val(text), number);
    }

    void rounding_data() {
        QTest::addColumn<double>("number");
        QTest::addColumn<int>("rounded");
        QTest::newRow("2.5 to even") << 2.5 << 2;
        QTest::newRow("3.5 to even") << 3.5 << 4;
        QTest::newRow("-0.5 to even") << -0.5 << 0;
        QTest::newRow("-1.5 to even") << -1.5 << -2;
        QTest::newRow("below half") << 2.49 << 2;
        QTest::newRow("above half") << -2.51 << -3;
        QTest::newRow("largest") << 2147483647.0 << std::numeric_limits<int>::max();
        QTest::newRow("above the range") << 1e20 << std::numeric_limits<int>::max();
        QTest::newRow("half above the range") << 2147483647.5 << std::numeric_limits<int>::max();
        QTest::newRow("lowest") << -2147483648.5 << std::numeric_limits<int>::min();
        QTest::newRow("below the range") << -1e20 << std::numeric_limits<int>::min();
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity()
                                  << std::numeric_limits<int>::max();
        QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << 0;
    }
    void rounding() {
        QFETCH(double, number);
        QFETCH(int, rounded);
        QCOMPARE(RoundToInt32(number), rounded);
    }

    void parsedAndRounded_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("rounded");
        QTest::newRow("2.5") << "2.5" << 2;
        QTest::newRow("3.5") << "3.5" << 4;
        QTest::newRow("-0.5") << "-0.5" << 0;
        QTest::newRow("1e5") << "1e5" << 1;
        QTest::newRow("huge") << "99999999999" << std::numeric_limits<int>::max();
    }
    void parsedAndRounded() {
        QFETCH(QString, text);
        QFETCH(int, rounded);
        QCOMPARE(RoundToInt32(Val(text)), rounded);
    }
};

QTEST_APPLESS_MAIN(TestLeadingNumber)
#include "tst_leadingnumber.moc"
