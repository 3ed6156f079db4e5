// The About box: its loaded texts and size, the three links (target, hover look, pointer) and
// the keys that close it.
//
// Mouse input goes through the window system's path, as a real pointer's does, so that the
// widgets under the pointer get their enter and leave events.
#define QTEST_QPA_MOUSE_HANDLING
#include "about/frmAbout.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {

// Counts the key presses that reach one widget.
class KeySpy : public QObject {
public:
    int Presses = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            ++Presses;
        }
        return false;
    }
};

// An owner window and a shown dialog over it whose links are recorded.
struct Fixture {
    QWidget Owner;
    QStringList Opened;
    std::unique_ptr<frmAbout> Dialog;

    Fixture() {
        Owner.setGeometry(100, 100, 800, 600);
        Owner.show();
        Dialog = std::make_unique<frmAbout>(&Owner,
                                            [this](const QString& address) { Opened << address; });
        Dialog->show();
    }
    bool Exposed() { return QTest::qWaitForWindowExposed(Dialog.get()); }
    QWidget* Link(const QString& name) const {
        if (name == "picIcon") {
            return Dialog->picIcon;
        }
        return Dialog->WebLbl[name == "WebLbl0" ? 0 : 1];
    }
    // Moves the pointer onto an empty part of the dialog, away from every link.
    void MoveAway() { QTest::mouseMove(Dialog.get(), QPoint(Dialog->width() / 2, 5)); }
};

QColor TextColour(const QWidget* label) {
    return label->palette().color(QPalette::WindowText);
}

} // namespace

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void loadFillsTheTextsFromTheProgramIdentity() {
        Fixture f;
        QCOMPARE(f.Dialog->windowTitle(), QStringLiteral("À propos de Orvane"));
        QCOMPARE(f.Dialog->Lbl[0]->text(), QStringLiteral("Orvane"));
        QCOMPARE(f.Dialog->Lbl[1]->text(), QStringLiteral("Version 1.03 révision 0000"));
        QCOMPARE(f.Dialog->Lbl[2]->text(), QStringLiteral("Navigateur internet d'Ulmeco"));
        QVERIFY(f.Dialog->Lbl[4] == nullptr);
        QVERIFY(f.Dialog->Lbl[0]->font().bold());
        QCOMPARE(f.Dialog->Lbl[0]->font().pointSize(), 12);
    }

    void fixedSizeFromTheDesignInTwips() {
        Fixture f;
        QVERIFY(f.Exposed());
        const QSize client(5925 / 15, 1950 / 15); // 96 DPI: 15 twips a pixel
        QCOMPARE(f.Dialog->size(), client);
        QCOMPARE(f.Dialog->minimumSize(), client);
        QCOMPARE(f.Dialog->maximumSize(), client);
        const Qt::WindowFlags flags = f.Dialog->windowFlags();
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QCOMPARE(f.Dialog->Bouton->geometry(), QRect(4560 / 15, 1440 / 15, 1215 / 15, 375 / 15));
        QCOMPARE(f.Dialog->picIcon->geometry(), QRect(16, 16, 48, 48));
    }

    void opensCentredOverItsOwner() {
        Fixture f;
        QVERIFY(f.Exposed());
        const QPoint offset = f.Dialog->frameGeometry().center() - f.Owner.frameGeometry().center();
        QVERIFY2(offset.manhattanLength() <= 2,
                 qPrintable(QStringLiteral("off by %1,%2").arg(offset.x()).arg(offset.y())));
    }

    void clickOpensTheTargetThenCloses_data() {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("address");
        QTest::newRow("icon: host name without scheme") << "picIcon"
                                                        << "www.ulmeco.fr";
        QTest::newRow("web address") << "WebLbl0"
                                     << "http://www.ulmeco.fr";
        QTest::newRow("e-mail with subject")
            << "WebLbl1"
            << "mailto:contact@ulmeco.fr?subject=Informations sur Orvane";
    }
    void clickOpensTheTargetThenCloses() {
        QFETCH(QString, link);
        QFETCH(QString, address);
        Fixture f;
        QVERIFY(f.Exposed());
        QSignalSpy finished(f.Dialog.get(), &QDialog::finished);
        QWidget* control = f.Link(link);
        const QPoint inside = control->rect().center();
        QTest::mouseMove(control, inside);
        QCOMPARE(control->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(control, Qt::LeftButton, {}, inside);
        QCOMPARE(f.Opened, QStringList{address});
        QCOMPARE(finished.count(), 1);
        QVERIFY(!f.Dialog->isVisible());
    }

    void iconShowsThePointingHandOnlyWhileHovered() {
        Fixture f;
        QVERIFY(f.Exposed());
        QCOMPARE(f.Dialog->picIcon->cursor().shape(), Qt::ArrowCursor);
        QTest::mouseMove(f.Dialog->picIcon, QPoint(20, 20));
        QCOMPARE(f.Dialog->picIcon->cursor().shape(), Qt::PointingHandCursor);
        f.MoveAway();
        QCOMPARE(f.Dialog->picIcon->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(f.Opened.isEmpty());
    }

    void addressLabelTurnsBlueUnderlinedThenBlack_data() {
        QTest::addColumn<int>("index");
        QTest::newRow("web") << 0;
        QTest::newRow("e-mail") << 1;
    }
    void addressLabelTurnsBlueUnderlinedThenBlack() {
        QFETCH(int, index);
        Fixture f;
        QVERIFY(f.Exposed());
        QLabel* label = f.Dialog->WebLbl[index];
        const QColor design = label->palette().color(QPalette::ButtonText);
        QCOMPARE(TextColour(label), design);
        QVERIFY(!label->font().underline());

        QTest::mouseMove(label, QPoint(10, 5));
        QCOMPARE(TextColour(label), QColor(0, 0, 255));
        QVERIFY(label->font().underline());
        QCOMPARE(label->cursor().shape(), Qt::PointingHandCursor);

        f.MoveAway();
        QCOMPARE(TextColour(label), QColor(Qt::black));
        QVERIFY(!label->font().underline());
        QCOMPARE(label->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(f.Opened.isEmpty());
        QVERIFY(f.Dialog->isVisible());
    }

    void movingStraightFromOneAddressToTheOther() {
        Fixture f;
        QVERIFY(f.Exposed());
        QLabel* web = f.Dialog->WebLbl[0];
        QLabel* mail = f.Dialog->WebLbl[1];
        QTest::mouseMove(f.Dialog.get(), web->geometry().topLeft() + QPoint(10, 4));
        QVERIFY(web->font().underline());
        QTest::mouseMove(f.Dialog.get(), mail->geometry().bottomLeft() + QPoint(10, -4));
        QCOMPARE(TextColour(web), QColor(Qt::black));
        QVERIFY(!web->font().underline());
        QCOMPARE(web->cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(TextColour(mail), QColor(0, 0, 255));
        QVERIFY(mail->font().underline());
        QCOMPARE(mail->cursor().shape(), Qt::PointingHandCursor);
        // A click now opens the e-mail address only.
        QTest::mouseClick(mail, Qt::LeftButton, {}, QPoint(10, 5));
        QCOMPARE(f.Opened, QStringList{"mailto:contact@ulmeco.fr?subject=Informations sur Orvane"});
    }

    void aNewShowingStartsFromTheDesignLook() {
        QColor design;
        {
            Fixture f;
            QVERIFY(f.Exposed());
            design = TextColour(f.Dialog->WebLbl[0]);
            QTest::mouseMove(f.Dialog->WebLbl[0], QPoint(10, 5));
            f.MoveAway();
            QCOMPARE(TextColour(f.Dialog->WebLbl[0]), QColor(Qt::black));
            QTest::mouseMove(f.Dialog->WebLbl[1], QPoint(10, 5));
            f.Dialog->Bouton->click();
        }
        Fixture again;
        QVERIFY(again.Exposed());
        for (QLabel* label : again.Dialog->WebLbl) {
            QCOMPARE(TextColour(label), design);
            QVERIFY(!label->font().underline());
        }
    }

    void escapeClosesOnceAndReachesNoControl() {
        Fixture f;
        QVERIFY(f.Exposed());
        f.Dialog->Bouton->setFocus();
        QCOMPARE(f.Dialog->focusWidget(), f.Dialog->Bouton);
        KeySpy spy;
        f.Dialog->Bouton->installEventFilter(&spy);
        QSignalSpy finished(f.Dialog.get(), &QDialog::finished);

        QTest::keyClick(f.Dialog->Bouton, Qt::Key_A);
        QCOMPARE(spy.Presses, 1); // other characters pass on to the control
        QCOMPARE(finished.count(), 0);

        QTest::keyClick(f.Dialog->Bouton, Qt::Key_Escape);
        QCOMPARE(spy.Presses, 1);
        QCOMPARE(finished.count(), 1);
        // Closed as OK closes it, not by the dialog's own Escape handling.
        QCOMPARE(f.Dialog->result(), int(QDialog::Accepted));
        QVERIFY(f.Opened.isEmpty());
    }

    void enterClosesAsOk_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter);
    }
    void enterClosesAsOk() {
        QFETCH(int, key);
        Fixture f;
        QVERIFY(f.Exposed());
        QVERIFY(f.Dialog->Bouton->isDefault());
        f.Dialog->Bouton->setFocus();
        QSignalSpy finished(f.Dialog.get(), &QDialog::finished);
        QTest::keyClick(f.Dialog->Bouton, static_cast<Qt::Key>(key));
        QCOMPARE(finished.count(), 1);
        QVERIFY(!f.Dialog->isVisible());
        QVERIFY(f.Opened.isEmpty());
    }
};

QTEST_MAIN(TestAbout)
#include "tst_about.moc"
