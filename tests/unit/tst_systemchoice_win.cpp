// Which family serves a Windows program, with and without ZUZ_SERVICES.
#include "shared/platform/systemchoice.h"

#include <QRegularExpression>
#include <QTest>

Q_DECLARE_METATYPE(ServiceFamily)
Q_DECLARE_METATYPE(WindowSystem)

class TstSystemChoiceWin : public QObject {
    Q_OBJECT
  private slots:
    void decide_data();
    void decide();
};

void TstSystemChoiceWin::decide_data() {
    QTest::addColumn<QString>("qtPlatform");
    QTest::addColumn<QByteArray>("services");
    QTest::addColumn<ServiceFamily>("family");
    QTest::addColumn<WindowSystem>("ownCalls");
    QTest::addColumn<bool>("warns");

    using F = ServiceFamily;
    using W = WindowSystem;
    const QString windows = QStringLiteral("windows");
    QTest::newRow("found") << windows << QByteArray() << F::Windows << W::Windows << false;
    QTest::newRow("toolkit") << windows << QByteArray("Toolkit") << F::Toolkit << W::Other << false;
    // A window id is no window handle on another Qt platform.
    QTest::newRow("offscreen") << QStringLiteral("offscreen") << QByteArray() << F::Windows
                               << W::Other << false;
    QTest::newRow("x11 is no Windows family")
        << windows << QByteArray("x11") << F::Windows << W::Windows << true;
    QTest::newRow("unknown name") << windows << QByteArray("gdi") << F::Windows << W::Windows
                                  << true;
}

void TstSystemChoiceWin::decide() {
    QFETCH(QString, qtPlatform);
    QFETCH(QByteArray, services);
    QFETCH(ServiceFamily, family);
    QFETCH(WindowSystem, ownCalls);
    QFETCH(bool, warns);

    const QRegularExpression warning(QStringLiteral("^ZUZ_SERVICES"));
    if (warns)
        QTest::ignoreMessage(QtWarningMsg, warning);
    else
        QTest::failOnWarning(warning);
    // WAYLAND_DISPLAY and an X server mean nothing to a Windows program.
    const SystemChoice choice = systemchoice::decide({qtPlatform, true, true, services});
    QCOMPARE(choice.family, family);
    QCOMPARE(choice.ownCalls(), ownCalls);
    QVERIFY(choice.programPlacesWindows());
}

QTEST_GUILESS_MAIN(TstSystemChoiceWin)
#include "tst_systemchoice_win.moc"
