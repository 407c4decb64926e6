// Which family serves which Linux session, with and without ZUZ_SERVICES.
#include "shared/platform/systemchoice.h"

#include <QRegularExpression>
#include <QTest>

Q_DECLARE_METATYPE(ServiceFamily)
Q_DECLARE_METATYPE(WindowSystem)

class TstSystemChoice : public QObject {
    Q_OBJECT
  private slots:
    void decide_data();
    void decide();
};

void TstSystemChoice::decide_data() {
    QTest::addColumn<QString>("qtPlatform");
    QTest::addColumn<bool>("waylandDisplay");
    QTest::addColumn<bool>("x11Server");
    QTest::addColumn<QByteArray>("services");
    QTest::addColumn<ServiceFamily>("family");
    QTest::addColumn<WindowSystem>("windows");
    QTest::addColumn<WindowSystem>("ownCalls");
    QTest::addColumn<bool>("warns");

    using F = ServiceFamily;
    using W = WindowSystem;
    const QString xcb = QStringLiteral("xcb");
    const QString wayland = QStringLiteral("wayland");
    // Found from the session.
    QTest::newRow("X11") << xcb << false << true << QByteArray() << F::X11 << W::X11 << W::X11
                         << false;
    QTest::newRow("Xwayland") << xcb << true << true << QByteArray() << F::Portal
                              << W::WaylandDesktopX11 << W::X11 << false;
    QTest::newRow("Wayland") << wayland << true << false << QByteArray() << F::Portal << W::Wayland
                             << W::Wayland << false;
    QTest::newRow("wayland-egl") << QStringLiteral("wayland-egl") << true << false << QByteArray()
                                 << F::Portal << W::Wayland << W::Wayland << false;
    QTest::newRow("offscreen") << QStringLiteral("offscreen") << false << false << QByteArray()
                               << F::Toolkit << W::Other << W::Other << false;
    // Named by the user.
    QTest::newRow("x11 with a stale WAYLAND_DISPLAY")
        << xcb << true << true << QByteArray("x11") << F::X11 << W::X11 << W::X11 << false;
    QTest::newRow("portal on X11") << xcb << false << true << QByteArray("portal") << F::Portal
                                   << W::WaylandDesktopX11 << W::X11 << false;
    QTest::newRow("toolkit on X11") << xcb << false << true << QByteArray("toolkit") << F::Toolkit
                                    << W::X11 << W::Other << false;
    QTest::newRow("toolkit on Wayland") << wayland << true << false << QByteArray("toolkit")
                                        << F::Toolkit << W::Wayland << W::Other << false;
    QTest::newRow("spaces and capitals")
        << xcb << true << true << QByteArray(" X11\n") << F::X11 << W::X11 << W::X11 << false;
    // Names that cannot be followed fall back to what the session says.
    QTest::newRow("x11 without an X server") << wayland << true << false << QByteArray("x11")
                                             << F::Portal << W::Wayland << W::Wayland << true;
    QTest::newRow("unknown name") << xcb << false << true << QByteArray("gnome") << F::X11 << W::X11
                                  << W::X11 << true;
}

void TstSystemChoice::decide() {
    QFETCH(QString, qtPlatform);
    QFETCH(bool, waylandDisplay);
    QFETCH(bool, x11Server);
    QFETCH(QByteArray, services);
    QFETCH(ServiceFamily, family);
    QFETCH(WindowSystem, windows);
    QFETCH(WindowSystem, ownCalls);
    QFETCH(bool, warns);

    const QRegularExpression warning(QStringLiteral("^ZUZ_SERVICES"));
    if (warns)
        QTest::ignoreMessage(QtWarningMsg, warning);
    else
        QTest::failOnWarning(warning);
    const SystemChoice choice =
        systemchoice::decide({qtPlatform, waylandDisplay, x11Server, services});
    QCOMPARE(choice.family, family);
    QCOMPARE(choice.windows, windows);
    QCOMPARE(choice.ownCalls(), ownCalls);
    QCOMPARE(choice.programPlacesWindows(), windows != WindowSystem::Wayland);
}

QTEST_GUILESS_MAIN(TstSystemChoice)
#include "tst_systemchoice.moc"
