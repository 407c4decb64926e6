// zuz in English where the user's languages put English first: the
// translation loads, and the zoom modes and custom size, which keep their
// state in menu captions, still switch in English.
#include "formrig.h"
#include "shared/translation.h"

#include <QAction>
#include <QPushButton>
#include <QTest>

class TstEnglish : public QObject {
    Q_OBJECT
  private slots:
    void choiceOfLanguage_data();
    void choiceOfLanguage();
    void theInterfaceIsEnglish();
};

void TstEnglish::choiceOfLanguage_data() {
    QTest::addColumn<QStringList>("languages");
    QTest::addColumn<bool>("english");
    QTest::newRow("English only") << QStringList{"en-US"} << true;
    QTest::newRow("English, then Chinese") << QStringList{"en-GB", "zh-CN"} << true;
    QTest::newRow("Chinese, then English") << QStringList{"zh-Hans-CN", "en-US"} << false;
    QTest::newRow("German, then English") << QStringList{"de-DE", "en"} << true;
    QTest::newRow("German only") << QStringList{"de-DE", "de"} << false;
    QTest::newRow("underscores") << QStringList{"zh_TW", "en_US"} << false;
    QTest::newRow("none") << QStringList{} << false;
}

void TstEnglish::choiceOfLanguage() {
    QFETCH(QStringList, languages);
    QFETCH(bool, english);
    QCOMPARE(translation::prefersEnglish(languages), english);
}

void TstEnglish::theInterfaceIsEnglish() {
    // The test's environment asks for English.
    QVERIFY2(translation::install(*qApp), qPrintable(QLocale::system().uiLanguages().join(',')));
    FormRig rig({1024, 768});
    Frmpictd& f = *rig.form;
    QCOMPARE(f.mnexit->text(), QStringLiteral("Cancel this zoom [or press X or Esc!]"));
    QCOMPARE(f.Command1->text(), QStringLiteral("W-"));
    QCOMPARE(f.Comqxbcfd->toolTip(), QStringLiteral("Cancel this zoom [or press X]"));
    QCOMPARE(ViewSummons::TrayTip(), QStringLiteral("Right-click this icon to zoom the screen!"));

    f.mnsuoxiao->trigger();
    QCOMPARE(f.mnsuoxiao->text(), QStringLiteral("Enlarge 2x"));
    QCOMPARE(f.Imadpic.Width, 1.5 * f.screen().Width());
    f.mnzongxiangfd->trigger();
    QCOMPARE(f.mnzongxiangfd->text(), QStringLiteral("Zoom both ways"));
    QCOMPARE(f.Imadpic.Width, f.screen().Width());
    f.mnshougong->trigger();
    QCOMPARE(f.mnshougong->text(), QStringLiteral("End custom zuz size"));
    QVERIFY(!f.Command1->isHidden());
}

QTEST_MAIN(TstEnglish)
#include "tst_english.moc"
