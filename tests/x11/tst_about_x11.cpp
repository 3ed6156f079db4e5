// The About box as a real X11 window: its fixed client size, centred over the window it is
// opened from, and the address labels' look under the real pointer. With ORVANE_SCREENSHOT set
// to a file name, the dialog as the screen shows it (window frame included, when a window
// manager draws one) is saved there, and with the web address hovered beside it ("-hover").
#include "about/frmAbout.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>

namespace {

void SaveScreenshot(const QWidget& dialog, const QString& suffix) {
    QString file = qEnvironmentVariable("ORVANE_SCREENSHOT");
    if (file.isEmpty()) {
        return;
    }
    file.insert(file.lastIndexOf('.'), suffix);
    const QRect frame = dialog.frameGeometry();
    const QPixmap shot =
        dialog.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    QVERIFY(shot.save(file, "PNG"));
}

QColor TextColour(const QWidget* label) {
    return label->palette().color(QPalette::WindowText);
}

// Puts the real pointer there and waits until the window system has reported it.
void PointAt(const QWidget* widget, QPoint pos) {
    QCursor::setPos(widget->mapToGlobal(pos));
    QTest::qWait(150);
}

} // namespace

class TestAboutX11 : public QObject {
    Q_OBJECT
private slots:
    void shownOverItsOwner() {
        QWidget owner;
        owner.setWindowTitle(QStringLiteral("Navigateur Ulmeco"));
        owner.setGeometry(200, 150, 900, 650);
        owner.show();
        QVERIFY(QTest::qWaitForWindowExposed(&owner));

        QStringList opened;
        frmAbout dialog(&owner, [&](const QString& address) { opened << address; });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        // Let a window manager put its frame around the dialog.
        QTest::qWait(300);

        QCOMPARE(dialog.size(), QSize(5925 / 15, 1950 / 15));
        const QPoint offset = dialog.frameGeometry().center() - owner.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 4,
                 qPrintable(QStringLiteral("off by %1,%2").arg(offset.x()).arg(offset.y())));
        QCOMPARE(dialog.windowHandle()->transientParent(), owner.windowHandle());

        SaveScreenshot(dialog, QString());

        QLabel* web = dialog.WebLbl[0];
        QLabel* mail = dialog.WebLbl[1];
        PointAt(web, QPoint(20, 6));
        QCOMPARE(TextColour(web), QColor(0, 0, 255));
        QVERIFY(web->font().underline());
        QCOMPARE(web->cursor().shape(), Qt::PointingHandCursor);
        SaveScreenshot(dialog, QStringLiteral("-hover"));
        PointAt(mail, QPoint(20, 6));
        QCOMPARE(TextColour(web), QColor(Qt::black));
        QVERIFY(!web->font().underline());
        QCOMPARE(TextColour(mail), QColor(0, 0, 255));
        PointAt(&dialog, QPoint(dialog.width() / 2, 4));
        QCOMPARE(TextColour(mail), QColor(Qt::black));
        QVERIFY(!mail->font().underline());
        QCOMPARE(mail->cursor().shape(), Qt::ArrowCursor);

        dialog.Bouton->click();
        QVERIFY(!dialog.isVisible());
        QVERIFY(opened.isEmpty());
    }
};

QTEST_MAIN(TestAboutX11)
#include "tst_about_x11.moc"
