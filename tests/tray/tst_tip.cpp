// The tip dialog of both programs: controls, texts, marker file and its
// two places, the buttons, dragging, and the magnifier's use of it.
#include "trayrig.h"

#include "shared/tip/tipartwork.h"
#include "shared/topmost.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QMouseEvent>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

namespace {
QColor vb(quint32 bgr) {
    return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

int visibleTipDialogs() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<Frmzdydhc*>(w) && w->isVisible()) ++n;
    return n;
}

// Sends a mouse event with an explicit button state.
void mouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button,
           Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(pos), w->mapToGlobal(QPointF(pos)), button, buttons,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A left-button move or press whose position in the widget and on the
// screen are given apart, as the window system may report them.
void mouseAt(QWidget* w, QEvent::Type type, QPoint local, QPoint global, Qt::MouseButton button) {
    QMouseEvent e(type, QPointF(local), QPointF(global),
                  type == QEvent::MouseMove ? Qt::NoButton : button, button, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// A rectangle the dialog lays out in twips, in its pixels.
struct Twips {
    explicit Twips(const Frmzdydhc& d) : x(d.twipsPerPixelX()), y(d.twipsPerPixelY()) {}
    QRect operator()(double l, double t, double w, double h) const {
        return QRect(units::cint(l / x), units::cint(t / y), units::cint(w / x),
                     units::cint(h / y));
    }
    double x, y;
};

struct Folders {
    Folders() {
        program = dir.filePath(QStringLiteral("program"));
        config = dir.filePath(QStringLiteral("config/app"));
        QDir().mkpath(program);
    }
    TipMarkerFolders folders() const { return {program, config}; }
    // A program folder that cannot be written even by root: its parent is
    // a plain file.
    TipMarkerFolders unwritableProgram() {
        const QString file = dir.filePath(QStringLiteral("plainfile"));
        QFile f(file);
        f.open(QIODevice::WriteOnly);
        return {file + QStringLiteral("/program"), config};
    }
    QTemporaryDir dir;
    QString program;
    QString config;
};
} // namespace

class TstTip : public QObject {
    Q_OBJECT
  private slots:
    void cleanup();
    void magnifierControls();
    void regionControls();
    void hintTextIsJoinedByBlankLines();
    void magnifierHintsNameTheWaysBackThereAre_data();
    void magnifierHintsNameTheWaysBackThereAre();
    void loadCentresShowsOnTopAndSetsTheText_data();
    void loadCentresShowsOnTopAndSetsTheText();
    void markerContent();
    void tickingWritesTheMarkerAndCloses_data();
    void tickingWritesTheMarkerAndCloses();
    void tickingTwiceAppends();
    void unwritableProgramFolderFallsBackToConfig();
    void nothingWritableKeepsTheDialogOpen();
    void eitherFileSuppresses();
    void closingWithoutTickingWritesNothing_data();
    void closingWithoutTickingWritesNothing();
    void pressEffect();
    void draggingWithTheLeftButtonOnly();
    void pictures();
    void startupShowsTheDialogWithoutMarker();
    void startupWithMarkerInEitherPlaceShowsNone_data();
    void startupWithMarkerInEitherPlaceShowsNone();
    void aboutNeverOpensASecondDialog();
    void aboutWithMarkerStillShows();
};

void TstTip::cleanup() {
    UnloadTipDialog(TipVariant::Magnifier);
    UnloadTipDialog(TipVariant::Region);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TstTip::magnifierControls() {
    Folders f;
    Frmzdydhc d(TipVariant::Magnifier, f.folders());
    const Twips px(d);
    QVERIFY(d.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(d.isWindow());
    QCOMPARE(d.size(), px(0, 0, 6825, 5130).size());
    if (px.x == 15 && px.y == 15) QCOMPARE(d.size(), QSize(455, 342));
    QCOMPARE(d.palette().color(QPalette::Window), vb(0x00FF8080));
    QCOMPARE(d.palette().color(QPalette::WindowText), vb(0x000000FF));
    QCOMPARE(d.windowTitle(), QStringLiteral("Form1"));

    QCOMPARE(d.Shape1, px(0, 0, 6855, 375));

    QCOMPARE(d.Labdhkts->text(), QStringLiteral("zuz提示！"));
    QCOMPARE(d.Labdhkts->geometry(), px(0, 105, 6855, 255));
    QCOMPARE(d.Labdhkts->palette().color(QPalette::WindowText), vb(0x0000FFFF));
    QCOMPARE(d.Labdhkts->font().family(), QStringLiteral("SimSun"));
    QCOMPARE(d.Labdhkts->font().pointSizeF(), 10.5);

    QCOMPARE(d.Labzinr->geometry(), px(960, 360, 5535, 3255));
    QCOMPARE(d.Labzinr->palette().color(QPalette::Window), vb(0x00FFC0C0));
    QCOMPARE(d.Labzinr->palette().color(QPalette::WindowText), vb(0x0000FF00));
    QVERIFY(d.Labzinr->autoFillBackground());
    QCOMPARE(d.Labzinr->font().pointSizeF(), 12.0);
    QVERIFY(d.Labzinr->wordWrap());

    QVERIFY(d.imgtanhaoha->isHidden());
    QCOMPARE(d.imgtanhaoha->size(), px(0, 0, 480, 480).size());

    QCOMPARE(d.Chezhidaole->text(), QStringLiteral("知道了。以后别再烦我了！！"));
    QCOMPARE(d.Chezhidaole->toolTip(),
             QStringLiteral("以后不再出现此对话框了！！不过右键中按“关于”仍能显示！"));
    QCOMPARE(d.Chezhidaole->palette().color(QPalette::Window), vb(0x00FFFFC0));
    QCOMPARE(d.Chezhidaole->palette().color(d.Chezhidaole->backgroundRole()), vb(0x00FFFFC0));
    QVERIFY(d.Chezhidaole->autoFillBackground());
    QCOMPARE(d.Chezhidaole->palette().color(QPalette::WindowText), vb(0x000080FF));
    QCOMPARE(d.Chezhidaole->font().pointSizeF(), 10.5);
    QCOMPARE(d.Chezhidaole->geometry().top(), px(0, 3720, 0, 0).top());
    QCOMPARE(d.Chezhidaole->size(), px(0, 0, 3855, 375).size());
    QVERIFY(!d.Chezhidaole->isChecked());

    QCOMPARE(d.Imyes->geometry(), px(2760, 4200, 1005, 690));
    QCOMPARE(d.Imyes->toolTip(), QStringLiteral("离开，下次仍出现此对话框！"));
    QCOMPARE(d.Labyes->text(), QStringLiteral("是"));
    QCOMPARE(d.Labyes->geometry(), px(3120, 4440, 255, 210));
    QCOMPARE(d.Labyes->toolTip(), QStringLiteral("离开，下次仍出现此对话框！"));
    QCOMPARE(d.Labyes->palette().color(QPalette::WindowText), vb(0x0000FFFF));
    QVERIFY(d.Labyes->font().bold());
    QCOMPARE(d.Labyes->font().pointSizeF(), 10.5);
    // The label lies over its picture.
    QVERIFY(d.Imyes->geometry().contains(d.Labyes->geometry()));
    QVERIFY(d.children().indexOf(d.Labyes) > d.children().indexOf(d.Imyes));
    // The pointing hand of this project, hot spot at the finger tip.
    QCOMPARE(d.Imyes->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(d.Labyes->cursor().shape(), Qt::BitmapCursor);
    QCOMPARE(d.Imyes->cursor().hotSpot(), QPoint(9, 1));

    QCOMPARE(d.Ima01.size(), QSize(38, 38));
    QCOMPARE(d.Ima02.size(), QSize(38, 38));
    QVERIFY(d.Ima01.toImage() != d.Ima02.toImage());
    QCOMPARE(d.Imyes->picture().toImage(), d.Ima01.toImage());

    QVERIFY(!d.Labjntswz);
    QVERIFY(!d.Imanwzts);
}

void TstTip::regionControls() {
    Folders f;
    Frmzdydhc d(TipVariant::Region, f.folders());
    const Twips px(d);
    QCOMPARE(d.size(), px(0, 0, 7305, 4980).size());
    if (px.x == 15 && px.y == 15) QCOMPARE(d.size(), QSize(487, 332));
    QCOMPARE(d.Shape1, px(0, 0, 7335, 375));
    QCOMPARE(d.Labdhkts->geometry(), px(0, 105, 7335, 255));
    QCOMPARE(d.Labzinr->geometry(), px(960, 360, 6015, 3135));
    QCOMPARE(d.Chezhidaole->toolTip(),
             QStringLiteral("以后不再出现此对话框了！！不过右键菜单中按“关于”仍可显示！"));
    // Laid out at left 0, centred at load.
    QCOMPARE(d.Chezhidaole->geometry(), px(0, 3600, 3855, 375));
    QCOMPARE(d.Imyes->geometry(), px(2640, 4080, 1005, 690));
    QCOMPARE(d.Labyes->geometry(), px(3000, 4320, 255, 210));
    QVERIFY(d.Labjntswz);
    QCOMPARE(d.Labjntswz->text(), QStringLiteral("按钮的位置："));
    QCOMPARE(d.Labjntswz->geometry(), px(4440, 4320, 1080, 180));
    QCOMPARE(d.Labjntswz->palette().color(QPalette::Window), vb(0x00C0FFC0));
    QVERIFY(d.Imanwzts);
    QCOMPARE(d.Imanwzts->geometry(), px(5640, 4080, 1500, 765));
    QCOMPARE(d.Imanwzts->picture().size(), QSize(100, 51));
}

void TstTip::hintTextIsJoinedByBlankLines() {
    const QString crlf2 = QStringLiteral("\r\n\r\n");
    QCOMPARE(
        TipHintText(TipVariant::Magnifier),
        QStringLiteral(" 双击滚动/再双击停止！按X或Esc键取消本次放大[或按屏幕下中撤消小按钮]！！") +
            crlf2 +
            QStringLiteral("按下“左键”拖动屏幕！按右键选菜单！按右上角小按钮画框！画框窗口右键或双"
                           "击取消，鼠标移到屏幕上边工具按钮！") +
            crlf2 + QStringLiteral("按“Ctrl+Z”键再次放大！") + crlf2 +
            QStringLiteral("或在屏幕右下角“岚”字图标上按右键！") + crlf2 +
            QStringLiteral("您现在可试一下Ctrl+Z键！"));
    QCOMPARE(TipHintText(TipVariant::Region),
             QStringLiteral("   单击屏幕右下角的zuz按钮后，鼠标指向要放大的区域后。") + crlf2 +
                 QStringLiteral("   按下鼠标左键拖动定义所要放大的区域，松开鼠标即完成！！") +
                 crlf2 + QStringLiteral("按右键选菜单操作！！双击放大区域，可结束本次放大！") +
                 crlf2 + QStringLiteral("菜单操作，可在当前放大的区域上，按右键，！") + crlf2 +
                 QStringLiteral(
                     "单击“放大区域”即可放大下一区域！反复单击“是否滚动”可在超出屏幕时自动滚动！"));
    QCOMPARE(TipMarkerFileName(TipVariant::Magnifier), QStringLiteral("Vivoduzivi.ini"));
    QCOMPARE(TipMarkerFileName(TipVariant::Region), QStringLiteral("Vorlane.ini"));
}

void TstTip::magnifierHintsNameTheWaysBackThereAre_data() {
    QTest::addColumn<int>("reach");
    QTest::addColumn<bool>("trayIcon");
    QTest::addColumn<QString>("last"); // the invitation the hints end with
    const QString tryKey = QStringLiteral("您现在可试一下Ctrl+Z键！");
    const QString bindKey = QStringLiteral("Wayland：把“zuz --view”设为桌面快捷键！");
    const QString getBoth = QStringLiteral("AppIndicator");
    const auto row = [](const char* name, HotkeyReach reach, bool tray, const QString& last) {
        QTest::newRow(name) << int(reach) << tray << last;
    };
    row("X11, key claimed", HotkeyReach::Claimed, true, tryKey);
    row("portal offers shortcuts", HotkeyReach::Proposed, false, tryKey);
    // Under Xwayland as on Wayland itself: the desktop binds the key.
    row("no shortcuts, icon", HotkeyReach::UserBinding, true, bindKey);
    row("no shortcuts, no icon", HotkeyReach::UserBinding, false, getBoth);
    row("key taken, no icon", HotkeyReach::None, false, getBoth);
}

void TstTip::magnifierHintsNameTheWaysBackThereAre() {
    QFETCH(int, reach);
    QFETCH(bool, trayIcon);
    QFETCH(QString, last);
    const QStringList pieces =
        TipHintPieces(TipVariant::Magnifier, TipWayBack{HotkeyReach(reach), trayIcon});
    QVERIFY2(pieces.last().contains(last), qPrintable(pieces.last()));
}

void TstTip::loadCentresShowsOnTopAndSetsTheText_data() {
    QTest::addColumn<int>("variant");
    QTest::addColumn<bool>("withoutWayBack"); // neither icon nor key: how to get them
    QTest::newRow("magnifier") << int(TipVariant::Magnifier) << false;
    QTest::newRow("magnifier without icon or key") << int(TipVariant::Magnifier) << true;
    QTest::newRow("region") << int(TipVariant::Region) << false;
}

void TstTip::loadCentresShowsOnTopAndSetsTheText() {
    QFETCH(int, variant);
    QFETCH(bool, withoutWayBack);
    const TipVariant v = TipVariant(variant);
    const TipWayBack wayBack =
        withoutWayBack ? TipWayBack{HotkeyReach::UserBinding, false} : TipWayBack{};
    Folders f;
    Frmzdydhc d(v, f.folders());
    d.setWayBack(wayBack);
    const double tx = d.twipsPerPixelX();
    QVERIFY(d.Labzinr->text().isEmpty());
    d.Form_Load();
    QVERIFY(d.isVisible());
    QVERIFY(d.windowFlags() & Qt::WindowStaysOnTopHint);
    const double clientW = v == TipVariant::Magnifier ? 6825 : 7305;
    QCOMPARE(d.Chezhidaole->x(), units::cint((clientW - 3855) / 2 / tx));
    QVERIFY(d.imgtanhaoha->isVisible());
    QCOMPARE(d.imgtanhaoha->pos(), QPoint(units::cint(360 / tx), units::cint(360 / tx)));
    QCOMPARE(d.hintCaption(), TipHintText(v, wayBack));
    QString shown = TipHintText(v, wayBack);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QCOMPARE(d.Labzinr->text(), shown);
    // All five pieces fit the label, lines one em apart as in SimSun.
    QVERIFY2(d.Labzinr->textHeight() <= d.Labzinr->height(),
             qPrintable(
                 QStringLiteral("%1 > %2").arg(d.Labzinr->textHeight()).arg(d.Labzinr->height())));
    // Centred on the screen.
    const QRect screen = PrimaryScreenInfo().geometry();
    QVERIFY(qAbs(d.geometry().center().x() - screen.center().x()) <= 1);
    QVERIFY(qAbs(d.geometry().center().y() - screen.center().y()) <= 1);
}

void TstTip::markerContent() {
    const QByteArray crlf2("\r\n\r\n");
    QCOMPARE(
        TipMarkerContent(TipVariant::Magnifier),
        QStringLiteral(" 双击滚动/再双击停止！按X或Esc键取消本次放大[或按屏幕下中撤消小按钮]！！ ")
                .toUtf8() +
            crlf2 +
            QStringLiteral("按下“左键”拖动屏幕！按右键选菜单！按右上角小按钮画框！画框窗口右键或双"
                           "击取消，鼠标移到屏幕上边工具按钮")
                .toUtf8() +
            crlf2 + QStringLiteral("按“Ctrl+Z”键再次放大！").toUtf8() + crlf2 +
            QStringLiteral("或在屏幕右下角“岚”字图标上按右键！").toUtf8() + "\r\n");
    QCOMPARE(TipMarkerContent(TipVariant::Region),
             TipHintText(TipVariant::Region).toUtf8() + "\r\n");
}

void TstTip::tickingWritesTheMarkerAndCloses_data() {
    loadCentresShowsOnTopAndSetsTheText_data();
}

void TstTip::tickingWritesTheMarkerAndCloses() {
    QFETCH(int, variant);
    const TipVariant v = TipVariant(variant);
    Folders f;
    auto* d = new Frmzdydhc(v, f.folders());
    QPointer<Frmzdydhc> guard(d);
    d->Form_Load();
    QVERIFY(!TipMarkerExists(v, f.folders()));
    QTest::mouseClick(d->Chezhidaole, Qt::LeftButton);
    QVERIFY(d->Chezhidaole->isChecked());
    const QString path = QDir(f.program).filePath(TipMarkerFileName(v));
    QCOMPARE(d->writtenMarker(), path);
    QCOMPARE(readAll(path), TipMarkerContent(v));
    QVERIFY(!QFileInfo::exists(QDir(f.config).filePath(TipMarkerFileName(v))));
    QVERIFY(TipMarkerExists(v, f.folders()));
    QVERIFY(d->isUnloaded());
    QVERIFY(!d->isVisible());
    QTRY_VERIFY(guard.isNull());
}

void TstTip::tickingTwiceAppends() {
    Folders f;
    for (int i = 0; i < 2; ++i) {
        auto* d = new Frmzdydhc(TipVariant::Magnifier, f.folders());
        d->Form_Load();
        QTest::mouseClick(d->Chezhidaole, Qt::LeftButton);
        QVERIFY(d->isUnloaded());
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const QByteArray one = TipMarkerContent(TipVariant::Magnifier);
    QCOMPARE(readAll(QDir(f.program).filePath(QStringLiteral("Vivoduzivi.ini"))), one + one);
}

void TstTip::unwritableProgramFolderFallsBackToConfig() {
    Folders f;
    const TipMarkerFolders folders = f.unwritableProgram();
    auto* d = new Frmzdydhc(TipVariant::Magnifier, folders);
    d->Form_Load();
    QTest::mouseClick(d->Chezhidaole, Qt::LeftButton);
    const QString fallback = QDir(f.config).filePath(QStringLiteral("Vivoduzivi.ini"));
    QCOMPARE(d->writtenMarker(), fallback);
    QVERIFY(d->isUnloaded());
    QCOMPARE(readAll(fallback), TipMarkerContent(TipVariant::Magnifier));
    // The configuration folder's file alone suppresses the dialog.
    QVERIFY(TipMarkerExists(TipVariant::Magnifier, folders));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TstTip::nothingWritableKeepsTheDialogOpen() {
    Folders f;
    TipMarkerFolders folders = f.unwritableProgram();
    folders.configFolder = folders.programFolder + QStringLiteral("/config");
    Frmzdydhc d(TipVariant::Region, folders);
    d.Form_Load();
    QTest::mouseClick(d.Chezhidaole, Qt::LeftButton);
    QVERIFY(d.Chezhidaole->isChecked());
    QVERIFY(!d.isUnloaded());
    QVERIFY(d.isVisible());
    QVERIFY(d.writtenMarker().isEmpty());
    QVERIFY(!TipMarkerExists(TipVariant::Region, folders));
}

void TstTip::eitherFileSuppresses() {
    Folders f;
    for (TipVariant v : {TipVariant::Magnifier, TipVariant::Region}) {
        const QString name = TipMarkerFileName(v);
        QVERIFY(!TipMarkerExists(v, f.folders()));
        // The content does not matter: an empty file suppresses.
        QFile(QDir(f.program).filePath(name)).open(QIODevice::WriteOnly);
        QVERIFY(TipMarkerExists(v, f.folders()));
        QVERIFY(QFile::remove(QDir(f.program).filePath(name)));
        QVERIFY(!TipMarkerExists(v, f.folders()));
        QDir().mkpath(f.config);
        QFile(QDir(f.config).filePath(name)).open(QIODevice::WriteOnly);
        QVERIFY(TipMarkerExists(v, f.folders()));
        QVERIFY(QFile::remove(QDir(f.config).filePath(name)));
        // A folder of that name is no marker file.
        QDir().mkpath(QDir(f.program).filePath(name));
        QVERIFY(!TipMarkerExists(v, f.folders()));
        QDir(QDir(f.program).filePath(name)).removeRecursively();
    }
    // A missing folder counts as a missing file.
    QVERIFY(!TipMarkerExists(TipVariant::Magnifier,
                             {f.dir.filePath(QStringLiteral("nowhere")), QString()}));
    // The defaults: the program folder and <config>/zuz, <config>/Zonara.
    const TipMarkerFolders m = DefaultTipMarkerFolders(TipVariant::Magnifier);
    QCOMPARE(m.programFolder, QCoreApplication::applicationDirPath());
    QVERIFY(m.configFolder.endsWith(QStringLiteral("/zuz")));
    QVERIFY(DefaultTipMarkerFolders(TipVariant::Region)
                .configFolder.endsWith(QStringLiteral("/Zonara")));
}

// Unticking the box, "是" and its picture close the dialog; none of them
// leaves a marker behind.
void TstTip::closingWithoutTickingWritesNothing_data() {
    QTest::addColumn<QString>("control");
    QTest::newRow("unticking the box") << "box";
    QTest::newRow("是") << "label";
    QTest::newRow("its picture") << "picture";
}

void TstTip::closingWithoutTickingWritesNothing() {
    QFETCH(QString, control);
    Folders f;
    auto* d = new Frmzdydhc(TipVariant::Magnifier, f.folders());
    d->Form_Load();
    if (control == "box") {
        d->Chezhidaole->setChecked(true);
        QTest::mouseClick(d->Chezhidaole, Qt::LeftButton);
        QVERIFY(!d->Chezhidaole->isChecked());
    } else {
        QWidget* target = control == "label" ? static_cast<QWidget*>(d->Labyes) : d->Imyes;
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(3, 3));
    }
    QVERIFY(d->isUnloaded());
    QVERIFY(!d->isVisible());
    QVERIFY(!TipMarkerExists(TipVariant::Magnifier, f.folders()));
    QVERIFY(QDir(f.program).isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void TstTip::pressEffect() {
    Folders f;
    Frmzdydhc d(TipVariant::Magnifier, f.folders());
    d.Form_Load();
    for (QWidget* target : {static_cast<QWidget*>(d.Labyes), static_cast<QWidget*>(d.Imyes)}) {
        mouse(target, QEvent::MouseButtonPress, QPoint(2, 2), Qt::LeftButton, Qt::LeftButton);
        QCOMPARE(d.Imyes->picture().toImage(), d.Ima02.toImage());
        QCOMPARE(d.Labyes->palette().color(QPalette::WindowText), vb(0x00FFFFFF));
        // Held while the pointer wanders off: still pressed.
        mouse(target, QEvent::MouseMove, QPoint(200, 200), Qt::NoButton, Qt::LeftButton);
        QCOMPARE(d.Imyes->picture().toImage(), d.Ima02.toImage());
        // Released away from it: normal again, and no click.
        mouse(target, QEvent::MouseButtonRelease, QPoint(200, 200), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(d.Imyes->picture().toImage(), d.Ima01.toImage());
        QCOMPARE(d.Labyes->palette().color(QPalette::WindowText), vb(0x0000FFFF));
        QVERIFY(!d.isUnloaded());
    }
}

void TstTip::draggingWithTheLeftButtonOnly() {
    Folders f;
    Frmzdydhc d(TipVariant::Magnifier, f.folders());
    d.Form_Load();
    d.move(100, 80);
    const QPoint start = d.pos();
    // On the background.
    mouse(&d, QEvent::MouseButtonPress, QPoint(20, 300), Qt::LeftButton, Qt::LeftButton);
    mouse(&d, QEvent::MouseMove, QPoint(50, 310), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(d.pos(), start + QPoint(30, 10));
    // Both buttons held: nothing moves.
    mouse(&d, QEvent::MouseMove, QPoint(90, 350), Qt::NoButton, Qt::LeftButton | Qt::RightButton);
    QCOMPARE(d.pos(), start + QPoint(30, 10));
    mouse(&d, QEvent::MouseButtonRelease, QPoint(50, 310), Qt::LeftButton, Qt::NoButton);
    // The right button alone moves nothing either.
    const QPoint here = d.pos();
    mouse(&d, QEvent::MouseButtonPress, QPoint(20, 300), Qt::RightButton, Qt::RightButton);
    mouse(&d, QEvent::MouseMove, QPoint(60, 330), Qt::NoButton, Qt::RightButton);
    QCOMPARE(d.pos(), here);
    mouse(&d, QEvent::MouseButtonRelease, QPoint(60, 330), Qt::RightButton, Qt::NoButton);
    // On the title.
    mouse(d.Labdhkts, QEvent::MouseButtonPress, QPoint(40, 5), Qt::LeftButton, Qt::LeftButton);
    mouse(d.Labdhkts, QEvent::MouseMove, QPoint(30, 25), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(d.pos(), here + QPoint(-10, 20));
    mouse(d.Labdhkts, QEvent::MouseButtonRelease, QPoint(30, 25), Qt::LeftButton, Qt::NoButton);
    // The hint text does not drag.
    const QPoint there = d.pos();
    mouse(d.Labzinr, QEvent::MouseButtonPress, QPoint(10, 10), Qt::LeftButton, Qt::LeftButton);
    mouse(d.Labzinr, QEvent::MouseMove, QPoint(70, 70), Qt::NoButton, Qt::LeftButton);
    mouse(d.Labzinr, QEvent::MouseButtonRelease, QPoint(70, 70), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(d.pos(), there);

    // A move still on its way to the window manager: the window system
    // reports the pointer relative to where the window was before it. The
    // window follows the pointer all the same, each step counted once.
    const QPoint title = d.Labdhkts->mapTo(&d, QPoint(0, 0));
    const QPoint grip = there + title + QPoint(40, 5);
    mouse(d.Labdhkts, QEvent::MouseButtonPress, QPoint(40, 5), Qt::LeftButton, Qt::LeftButton);
    mouseAt(d.Labdhkts, QEvent::MouseMove, QPoint(50, 15), grip + QPoint(10, 10), Qt::LeftButton);
    QCOMPARE(d.pos(), there + QPoint(10, 10));
    mouseAt(d.Labdhkts, QEvent::MouseMove, QPoint(60, 25), grip + QPoint(20, 20), Qt::LeftButton);
    QCOMPARE(d.pos(), there + QPoint(20, 20));
    mouse(d.Labdhkts, QEvent::MouseButtonRelease, QPoint(40, 5), Qt::LeftButton, Qt::NoButton);
    const QPoint moved = d.pos();
    mouseAt(&d, QEvent::MouseButtonPress, QPoint(20, 300), moved + QPoint(20, 300), Qt::LeftButton);
    mouseAt(&d, QEvent::MouseMove, QPoint(25, 300), moved + QPoint(25, 300), Qt::LeftButton);
    mouseAt(&d, QEvent::MouseMove, QPoint(30, 300), moved + QPoint(35, 300), Qt::LeftButton);
    QCOMPARE(d.pos(), moved + QPoint(15, 0));
}

void TstTip::pictures() {
    QCOMPARE(tipartwork::exclamationIcon().size(), QSize(32, 32));
    QCOMPARE(tipartwork::pointingHandPicture().size(), QSize(32, 32));
    QCOMPARE(tipartwork::notificationAreaPicture().size(), QSize(100, 51));
    // The round button: green in the middle, clear in the corners.
    const QImage b = tipartwork::buttonPicture(false).toImage();
    const QColor mid = b.pixelColor(19, 19);
    QVERIFY(mid.green() > mid.red() && mid.green() > mid.blue());
    QCOMPARE(b.pixelColor(0, 0).alpha(), 0);
    // The pointing hand's hot spot is on the hand.
    QVERIFY(tipartwork::pointingHandPicture().toImage().pixelColor(9, 2).alpha() > 0);
}

void TstTip::startupShowsTheDialogWithoutMarker() {
    TrayRig rig(QSize(800, 600), false);
    rig.load();
    Frmzdydhc* d = LoadedTipDialog(TipVariant::Magnifier);
    QVERIFY(d);
    QVERIFY(d->isVisible());
    QVERIFY(IsTopmost(d));
    QCOMPARE(visibleTipDialogs(), 1);
    QVERIFY(rig.form->isVisible());
    QVERIFY(!IsTopmost(rig.form.get()));
    QCOMPARE(d->folders().programFolder, rig.programFolder);
    // Ticking the box writes the marker next to the program.
    QTest::mouseClick(d->Chezhidaole, Qt::LeftButton);
    QVERIFY(QFileInfo::exists(QDir(rig.programFolder).filePath(QStringLiteral("Vivoduzivi.ini"))));
    QVERIFY(!LoadedTipDialog(TipVariant::Magnifier));
}

void TstTip::startupWithMarkerInEitherPlaceShowsNone_data() {
    QTest::addColumn<bool>("inConfig");
    QTest::newRow("program folder") << false;
    QTest::newRow("configuration folder") << true;
}

void TstTip::startupWithMarkerInEitherPlaceShowsNone() {
    QFETCH(bool, inConfig);
    TrayRig rig(QSize(800, 600), false);
    const QString folder = inConfig ? rig.configFolder : rig.programFolder;
    QDir().mkpath(folder);
    QFile(QDir(folder).filePath(QStringLiteral("Vivoduzivi.ini"))).open(QIODevice::WriteOnly);
    rig.load();
    QVERIFY(!LoadedTipDialog(TipVariant::Magnifier));
    QCOMPARE(visibleTipDialogs(), 0);
    QVERIFY(rig.form->isVisible());
    QVERIFY(IsTopmost(rig.form.get()));
}

void TstTip::aboutNeverOpensASecondDialog() {
    TrayRig rig(QSize(800, 600), false);
    rig.load();
    Frmzdydhc* first = LoadedTipDialog(TipVariant::Magnifier);
    QVERIFY(first);
    first->move(10, 10);
    rig.form->mnabuot->trigger();
    rig.form->mnabuot->trigger();
    QCOMPARE(LoadedTipDialog(TipVariant::Magnifier), first);
    QCOMPARE(visibleTipDialogs(), 1);
    // Still the same window where the user left it, not loaded anew.
    QCOMPARE(first->pos(), QPoint(10, 10));
    // Once closed, "关于..." loads a fresh one.
    QTest::mouseClick(first->Labyes, Qt::LeftButton);
    QCOMPARE(visibleTipDialogs(), 0);
    rig.form->mnabuot->trigger();
    Frmzdydhc* second = LoadedTipDialog(TipVariant::Magnifier);
    QVERIFY(second && second != first);
    QCOMPARE(visibleTipDialogs(), 1);
}

void TstTip::aboutWithMarkerStillShows() {
    TrayRig rig;
    rig.load();
    QVERIFY(!LoadedTipDialog(TipVariant::Magnifier));
    rig.form->mnabuot_Click();
    Frmzdydhc* d = LoadedTipDialog(TipVariant::Magnifier);
    QVERIFY(d && d->isVisible());
    // Ticking again appends a second copy to the same file: the first one,
    // written by an earlier tick, stays in front of it.
    const QString path = QDir(rig.programFolder).filePath(QStringLiteral("Vivoduzivi.ini"));
    const QByteArray once = TipMarkerContent(TipVariant::Magnifier);
    {
        QFile earlier(path);
        QVERIFY(earlier.open(QIODevice::WriteOnly | QIODevice::Truncate));
        earlier.write(once);
    }
    QTest::mouseClick(d->Chezhidaole, Qt::LeftButton);
    QCOMPARE(readAll(path), once + once);
}

QTEST_MAIN(TstTip)
#include "tst_tip.moc"
