// What a screen reader finds on every window a user reaches: each control
// named, with its role, in the interface's language (run once in Chinese,
// once under an English desktop).
#include "../region/regionrig.h"
#include "formrig.h"
#include "magnifier/editor/frmphotoshop.h"
#include "shared/keyoverlay.h"
#include "shared/tip/Frmzdydhc.h"
#include "shared/translation.h"

#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <functional>

namespace {
QImage pattern(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::gray);
    return img;
}

// Roles of what a user operates or lands on; containers and decoration are
// read through these.
bool operated(QAccessible::Role role) {
    switch (role) {
    case QAccessible::Window:
    case QAccessible::Dialog:
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
        return true;
    default:
        return false;
    }
}

// Every shown control under `top`, and a window there itself, whose name
// is empty, as "class objectName role"; `named` gets every name read, by
// object name where there is one.
QStringList nameless(QWidget* top, QHash<QString, QString>& named) {
    QStringList found;
    std::function<void(QAccessibleInterface*)> walk = [&](QAccessibleInterface* a) {
        if (!a || a->state().invisible) return;
        QObject* o = a->object();
        const QString name = a->text(QAccessible::Name).trimmed();
        if (o) named[o->objectName().isEmpty() ? u'#' + name : o->objectName()] = name;
        // A picture that takes clicks, which shows a pointer of its own, is
        // a control whatever its class says.
        const bool clickable =
            o && o->isWidgetType() && static_cast<QWidget*>(o)->testAttribute(Qt::WA_SetCursor);
        if ((operated(a->role()) || clickable || (o == top && top->isWindow())) && name.isEmpty())
            found << QStringLiteral("%1 %2 role %3")
                         .arg(o ? o->metaObject()->className() : "?", o ? o->objectName() : "")
                         .arg(int(a->role()));
        for (int i = 0; i < a->childCount(); ++i)
            walk(a->child(i));
    };
    walk(QAccessible::queryAccessibleInterface(top));
    return found;
}
} // namespace

class TstNames : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void everyControlIsNamed();

  private:
    bool m_english = false;
};

void TstNames::initTestCase() {
    // The texts are Chinese as written; the English run loads the
    // translations (on Windows the display language chooses, not LANGUAGE).
    m_english = qEnvironmentVariable("LANGUAGE").startsWith(QStringLiteral("en"));
    if (m_english) QVERIFY(translation::install(*qApp));
}

void TstNames::everyControlIsNamed() {
    const auto pick = [this](const char* zh, const char* en) {
        return m_english ? QString::fromUtf8(en) : QString::fromUtf8(zh);
    };
    QHash<QString, QString> named;

    // The view, its six buttons shown, and its key list.
    FormRig view({1024, 768});
    Frmpictd& f = *view.form;
    f.mnshougong->trigger();
    QTest::keyClick(&f, Qt::Key_F1);
    QCOMPARE(nameless(&f, named), QStringList());
    QCOMPARE(QAccessible::queryAccessibleInterface(&f)->text(QAccessible::Name),
             pick("放大的屏幕", "Zoomed screen"));
    QCOMPARE(named.value("Command5"), pick("手工画框标记", "Mark by drawing a frame"));
    QCOMPARE(named.value("Command1"), pick("宽-", "W-"));
    QCOMPARE(named.value("keyOverlay"), pick("按键一览", "Keys"));
    QCOMPARE(QAccessible::queryAccessibleInterface(f.Comqxbcfd)->role(), QAccessible::PushButton);
    // The tray icon says what it does in its tip.
    QCOMPARE(ViewSummons::TrayTip().isEmpty(), false);

    // The editor, its picture and its toolbar buttons, which read their tips.
    f.Command5_Click();
    QTRY_VERIFY(f.editor());
    QCOMPARE(nameless(f.editor(), named), QStringList());
    QCOMPARE(named.value("frmphotoshop"), pick("标记编辑器", "Annotation editor"));
    QVERIFY(named.values().contains(pick("撤消", "Undo")));
    QVERIFY(named.values().contains(pick("选择（V）", "Select (V)")));
    QVERIFY(named.values().contains(pick("颜色", "Colour")));
    QVERIFY(named.values().contains(pick("粗细：4", "Width: 4")));
    f.editor()->close();

    // The tip dialog, from the menu's "about".
    f.mnabuot_Click();
    Frmzdydhc* tip = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* d = qobject_cast<Frmzdydhc*>(w); d && d->isVisible()) tip = d;
    QVERIFY(tip);
    QCOMPARE(nameless(tip, named), QStringList());
    QCOMPARE(named.value("Frmzdydhc"), pick("提示", "Tip"));
    QCOMPARE(named.value("Imyes"), pick("离开", "Leave"));
    QCOMPARE(named.value("Chezhidaole"),
             pick("知道了。以后别再烦我了！！", "Got it. Don't show this again!"));
    // Its picture button is heard as a button, and a reader's press leaves
    // the dialog as a click does.
    QAccessibleInterface* yes = QAccessible::queryAccessibleInterface(tip->Imyes);
    QCOMPARE(yes->role(), QAccessible::Button);
    QCOMPARE(yes->actionInterface()->actionNames(),
             QStringList{QAccessibleActionInterface::pressAction()});
    yes->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QVERIFY(tip->isUnloaded());

    // Zonara's button, and the region window.
    RegionRig region;
    QCOMPARE(nameless(region.main.get(), named), QStringList());
    QCOMPARE(named.value("Comzdy"), pick("自定义区域", "Custom area"));
    Fortdck* r = region.open(pattern(32, 32));
    QCOMPARE(nameless(r, named), QStringList());
    QCOMPARE(QAccessible::queryAccessibleInterface(r)->text(QAccessible::Name),
             pick("放大的区域", "Zoomed region"));
}

QTEST_MAIN(TstNames)
#include "tst_names.moc"
