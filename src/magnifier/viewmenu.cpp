#include "magnifier/viewmenu.h"

#include "magnifier/Frmpictd.h"
#include "shared/menuitem.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

ViewMenu::ViewMenu(Frmpictd& form) : m_form(form) {
    using F = Frmpictd;
    struct Item {
        QAction* F::*item;
        const char* caption; // null: a separator
        void (F::*click)();
    };
    const auto add = [&form](std::initializer_list<Item> items) {
        for (const Item& i : items)
            form.*i.item = i.caption ? addMenuItem(&form, form.mnkz, i.caption, i.click)
                                     : form.mnkz->addSeparator();
    };
    form.mnkz = new QMenu(QCoreApplication::translate("zuz", "控制"), &form);
    add({
        {&F::mnexit, QT_TRANSLATE_NOOP("zuz", "取消本次放大[也可按X键或Esc键！]"),
         &F::mnexit_Click},
        {&F::mnzaicifd, QT_TRANSLATE_NOOP("zuz", "再次放大本屏(Ctrl+Z)"), &F::mnzaicifd_Click},
        {&F::mnzaicifdxx, nullptr, nullptr},
        {&F::mnexit2, QT_TRANSLATE_NOOP("zuz", "退出！！！"), &F::mnexit2_Click},
        {&F::mnexitxx, nullptr, nullptr},
        {&F::mnzongxiangfd, QT_TRANSLATE_NOOP("zuz", "只纵向放大"), &F::mnzongxiangfd_Click},
        {&F::mnshougong, QT_TRANSLATE_NOOP("zuz", "自定义zuz"), &F::mnshougong_Click},
        {&F::mnhiufuquesheng, QT_TRANSLATE_NOOP("zuz", "恢复缺省大小[2倍]"),
         &F::mnhiufuquesheng_Click},
        {&F::mnhfqsxx, nullptr, nullptr},
        {&F::mnsuoxiao, QT_TRANSLATE_NOOP("zuz", "扩大1点5倍"), &F::mnsuoxiao_Click},
        {&F::mnshxgdxx, nullptr, nullptr},
        {&F::mnshangxiagd, QT_TRANSLATE_NOOP("zuz", "上下自动滚动"), &F::mnshangxiagd_Click},
        {&F::mnxunhuang, QT_TRANSLATE_NOOP("zuz", "循环滚动"), &F::mnxunhuang_Click},
        {&F::mntiulaxg, QT_TRANSLATE_NOOP("zuz", "推拉效果"), &F::mntiulaxg_Click},
        {&F::mnsxgdxx, nullptr, nullptr},
    });
    form.mnsudu = addSpeedMenu(&form, form.mnkz);
    add({
        {&F::mnqueshengxx, nullptr, nullptr},
        {&F::mnqufd, "Zonara", &F::mnqufd_Click},
        {&F::mnwanneng, "Snarell", &F::mnwanneng_Click},
        {&F::mnquxbcfd, nullptr, nullptr},
    });
    // Last but the tip, as in Zonara's menu: the rows above keep their
    // places, which the keyboard's Down presses reach them by.
    addAids();
    add({
        {&F::mnabuot, QT_TRANSLATE_NOOP("zuz", "关于..."), &F::mnabuot_Click},
        {&F::mnbuhuo, QT_TRANSLATE_NOOP("zuz", "捕获"), &F::mnbuhuo_Click},
    });
    form.mnbuhuo->setVisible(false);
    for (QAction* a : {form.mnshangxiagd, form.mnxunhuang, form.mntiulaxg})
        a->setCheckable(true);
    // "中=100" ticked, although the scrolling runs at 50 ms until a speed
    // is chosen: the menu as it was designed.
    showSpeed(&form, form.speed);
}

void ViewMenu::show() {
    Frmpictd& f = m_form;
    f.mnsuoxiao->setText(f.zoom.enlargeCaption());
    f.mnzongxiangfd->setText(f.zoom.directionsCaption());
    f.mnshougong->setText(f.customSize.caption());
    f.mnshangxiagd->setChecked(f.motion.scrolling == ViewMotion::Switch::On);
    f.mnxunhuang->setChecked(f.motion.loop == ViewMotion::Switch::On);
    f.mntiulaxg->setChecked(f.motion.pushPull == ViewMotion::Switch::On);
    showSpeed(&f, f.speed);
    showAids();
}

void ViewMenu::addAids() {
    ColourAids& aids = m_form.aids;
    m_aids = m_form.mnkz->addMenu(QCoreApplication::translate("zuz", "辅助"));
    const auto item = [this](const char* caption, auto click) {
        QAction* a = m_aids->addAction(QCoreApplication::translate("zuz", caption));
        a->setCheckable(true);
        QObject::connect(a, &QAction::triggered, m_aids, click);
        return a;
    };
    using C = ColourAids::Contrast;
    m_invert = item(QT_TRANSLATE_NOOP("zuz", "反色(I)"), [&aids] { aids.flipInversion(); });
    m_aids->addSeparator();
    // Radio items: one contrast at a time.
    auto* group = new QActionGroup(m_aids);
    const std::array<const char*, 3> contrast{QT_TRANSLATE_NOOP("zuz", "正常对比度"),
                                              QT_TRANSLATE_NOOP("zuz", "高对比度(C)"),
                                              QT_TRANSLATE_NOOP("zuz", "更高对比度")};
    for (int i = 0; i < 3; ++i) {
        m_contrast[i] = item(contrast[i], [&aids, i] { aids.setContrast(C(i)); });
        group->addAction(m_contrast[i]);
    }
    m_aids->addSeparator();
    m_grey = item(QT_TRANSLATE_NOOP("zuz", "灰度(G)"), [&aids] { aids.flipGreyscale(); });
    m_smooth = item(QT_TRANSLATE_NOOP("zuz", "平滑放大(S)"), [&aids] { aids.flipSmoothing(); });
    m_aids->addSeparator();
    m_crosshairs = item(QT_TRANSLATE_NOOP("zuz", "十字线(H)"), [&aids] { aids.flipCrosshairs(); });
    m_band = item(QT_TRANSLATE_NOOP("zuz", "阅读条(L)"), [&aids] { aids.flipBand(); });
    // The keys and the menu change the same state; the ticks follow it.
    QObject::connect(&aids, &ColourAids::changed, m_aids, [this] { showAids(); });
    showAids();
}

void ViewMenu::showAids() {
    const ColourAids& aids = m_form.aids;
    using S = ColourAids::Switch;
    m_invert->setChecked(aids.rule().inversion == S::On);
    for (int i = 0; i < 3; ++i)
        m_contrast[i]->setChecked(int(aids.rule().contrast) == i);
    m_grey->setChecked(aids.rule().greyscale == S::On);
    m_smooth->setChecked(aids.smoothing() == ColourAids::Smoothing::Smooth);
    m_crosshairs->setChecked(aids.crosshairs() == S::On);
    m_band->setChecked(aids.band() == S::On);
}
