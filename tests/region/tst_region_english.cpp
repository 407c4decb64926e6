// Zonara in English where the user's languages put English first.
#include "region/regionaids.h"
#include "regionrig.h"
#include "shared/translation.h"

#include <QAction>
#include <QPushButton>
#include <QTest>

class TstRegionEnglish : public QObject {
    Q_OBJECT
  private slots:
    void theInterfaceIsEnglish();
};

void TstRegionEnglish::theInterfaceIsEnglish() {
    // The test's environment asks for English.
    QVERIFY2(translation::install(*qApp), qPrintable(QLocale::system().uiLanguages().join(',')));
    RegionRig rig;
    frmMainwn& m = *rig.main;
    QCOMPARE(m.mnuCaptureMain->title(), QStringLiteral("Capture options [&C]"));
    QCOMPARE(m.mnfangqu->text(), QStringLiteral("Zoom an area"));
    QCOMPARE(m.mnabut->text(), QStringLiteral("About"));
    QCOMPARE(m.aidsMenu->menu->title(), QStringLiteral("Visual aids"));
    QCOMPARE(m.aidsMenu->inversion->text(), QStringLiteral("Invert colours\tI"));
    QCOMPARE(m.Comzdy->toolTip(), QStringLiteral("Custom area (click, then drag the mouse!)"));
    m.mnzidingyi->trigger();
    QCOMPARE(rig.prompts.prompts.value(0),
             QStringLiteral("Enter the timer interval [1000 = 1 second!]:|Timer setting|200"));
}

QTEST_MAIN(TstRegionEnglish)
#include "tst_region_english.moc"
