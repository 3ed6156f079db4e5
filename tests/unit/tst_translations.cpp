// Qt's own dialogs speak French once the translations are installed.

#include "platform/Engine.h"

#include <QCoreApplication>
#include <QTest>

class TstTranslations : public QObject {
    Q_OBJECT
private slots:
    void standardButtonsAreFrench_data() {
        QTest::addColumn<QByteArray>("english");
        QTest::addColumn<QString>("french");
        QTest::newRow("cancel") << QByteArray("Cancel") << "Annuler";
        QTest::newRow("save") << QByteArray("Save") << "Enregistrer";
    }
    void standardButtonsAreFrench() {
        QFETCH(QByteArray, english);
        QFETCH(QString, french);
        platform::InstallTranslations(*QCoreApplication::instance());
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", english.constData()), french);
    }
};

QTEST_MAIN(TstTranslations)
#include "tst_translations.moc"
