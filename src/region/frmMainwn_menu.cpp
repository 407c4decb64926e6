// The popup menu: its items, the programs it starts, the tip dialog, the
// mail link and the end of the program.
#include "region/frmMainwn.h"

#include "region/Fortdck.h"
#include "region/picker/frmCaptureArea.h"
#include "region/regionaids.h"
#include "shared/capturecompanion.h"
#include "shared/menuitem.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QUrl>

QString frmMainwn::ContactAddress() {
    return QStringLiteral("zonara@example.org");
}

QAction* frmMainwn::addItem(QMenu* menu, const char* caption, void (frmMainwn::*handler)()) {
    return addMenuItem(this, menu, caption, handler);
}

void frmMainwn::buildMenu() {
    mnuCaptureMain = new QMenu(QCoreApplication::translate("zuz", "捕获选择[&C]"), this);
    mnfangqu =
        addItem(mnuCaptureMain, QT_TRANSLATE_NOOP("zuz", "放大区域"), &frmMainwn::mnfangqu_Click);
    mndangdabl = mnuCaptureMain->addMenu(QCoreApplication::translate("zuz", "放大比例"));
    mn1x2 = addItem(mndangdabl, "1x2", &frmMainwn::mn1x2_Click);
    mn1x4 = addItem(mndangdabl, "1x4", &frmMainwn::mn1x4_Click);
    mn1x6 = addItem(mndangdabl, "1x6", &frmMainwn::mn1x6_Click);
    mngdxx = mnuCaptureMain->addSeparator();
    mnshifougd =
        addItem(mnuCaptureMain, QT_TRANSLATE_NOOP("zuz", "是否滚动"), &frmMainwn::mnshifougd_Click);
    mngdsd = addSpeedMenu(this, mnuCaptureMain);
    mnjsbhx = mnuCaptureMain->addSeparator();
    mnwnbh = addItem(mnuCaptureMain, "Snarell", &frmMainwn::mnwnbh_Click);
    mnqpfd =
        addItem(mnuCaptureMain, QT_TRANSLATE_NOOP("zuz", "全屏放大"), &frmMainwn::mnqpfd_Click);
    mnqpfdxx = mnuCaptureMain->addSeparator();
    mnjsbh =
        addItem(mnuCaptureMain, QT_TRANSLATE_NOOP("zuz", "结束放大"), &frmMainwn::mnjsbh_Click);
    mnabutx = mnuCaptureMain->addSeparator();
    // Below the items whose rows keyboard users know by heart, beside the
    // dialog that explains the program.
    aidsMenu = new RegionAidsMenu(*mnuCaptureMain, m_aids);
    mnabut = addItem(mnuCaptureMain, QT_TRANSLATE_NOOP("zuz", "关于"), &frmMainwn::mnabut_Click);
    mnemail = addItem(mnuCaptureMain, "", &frmMainwn::mnemail_Click);
    mnemail->setText(ContactAddress());

    // The ratios are one choice, yet no QActionGroup holds them: Qt would
    // draw an exclusive group's marks as radio buttons, not check marks.
    for (QAction* a : {mn1x2, mn1x4, mn1x6, mnshifougd})
        a->setCheckable(true);
    showSpeed(this, m_speed);
    connect(&m_ratio, &RatioChoice::changed, this, &frmMainwn::showRatio);
    connect(&m_scrollSwitch, &ScrollSwitch::changed, this, &frmMainwn::showScrollSwitch);
    showRatio(m_ratio.ratio());
    showScrollSwitch(m_scrollSwitch.state());
}

void frmMainwn::mnqpfd_Click() {
    m_services.starter->start(QStringLiteral("zuz"), ProgramStarter::Show::Normal);
}

void frmMainwn::mnwnbh_Click() {
    // A waiting capture program reads the screen at once: what the menu
    // covered has to be painted again by then.
    repaint();
    if (Fortdck* region = fortdck(); region && region->isVisible()) region->repaint();
    capturecompanion::pickAfterMenu(*m_services.starter, ProgramStarter::Show::Normal, this);
}

void frmMainwn::mnabut_Click() {
    prompts().ShowTipDialog(TipVariant::Region, nullptr, {});
}

void frmMainwn::mnemail_Click() {
    OpenMailLink(QUrl(QStringLiteral("mailto:") + ContactAddress()));
}

void frmMainwn::mnjsbh_Click() {
    close();
    if (m_picker) m_picker->Unload();
}
