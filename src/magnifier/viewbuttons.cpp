#include "magnifier/viewbuttons.h"

#include "magnifier/Frmpictd.h"
#include "magnifier/artwork.h"

#include <QCoreApplication>
#include <QPushButton>

ViewButtons::ViewButtons(Frmpictd& f, bool native) : m_form(f), m_native(native) {
    f.Command5 = make("Command5", {}, QT_TRANSLATE_NOOP("zuz", "手工画框标记"));
    f.Command5->setIconSize(QSize(32, 32));
    f.Comqxbcfd = make("Comqxbcfd", {}, QT_TRANSLATE_NOOP("zuz", "取消本次放大[可按X键]"));
    f.Comqxbcfd->setIcon(artwork::undoArrowPicture());
    f.Comqxbcfd->setIconSize(QSize(16, 16));
    f.Command1 = make("Command1", QCoreApplication::translate("zuz", "宽-"),
                      QT_TRANSLATE_NOOP("zuz", "单击减宽200"));
    f.Command2 = make("Command2", QCoreApplication::translate("zuz", "高-"),
                      QT_TRANSLATE_NOOP("zuz", "单击减高200"));
    f.Command3 = make("Command3", QCoreApplication::translate("zuz", "宽+"),
                      QT_TRANSLATE_NOOP("zuz", "单击增宽200"));
    f.Command4 = make("Command4", QCoreApplication::translate("zuz", "高+"),
                      QT_TRANSLATE_NOOP("zuz", "单击增高200"));
    // Where the form was drawn, whatever monitor the view comes up on.
    const units::Screen s = f.screen();
    place(f.Command1, s, 4560, 2880, 495, 255);
    place(f.Command2, s, 4560, 2280, 495, 255);
    place(f.Command3, s, 4080, 2880, 495, 255);
    place(f.Command4, s, 4080, 2280, 495, 255);
    showCustomSize(CustomSize::Buttons::Hidden);
    QObject::connect(f.Command5, &QPushButton::clicked, &f, &Frmpictd::Command5_Click);
    QObject::connect(f.Comqxbcfd, &QPushButton::clicked, &f, &Frmpictd::Comqxbcfd_Click);
    QObject::connect(f.Command1, &QPushButton::clicked, &f, &Frmpictd::Command1_Click);
    QObject::connect(f.Command2, &QPushButton::clicked, &f, &Frmpictd::Command2_Click);
    QObject::connect(f.Command3, &QPushButton::clicked, &f, &Frmpictd::Command3_Click);
    QObject::connect(f.Command4, &QPushButton::clicked, &f, &Frmpictd::Command4_Click);
}

QPushButton* ViewButtons::make(const char* name, const QString& caption, const char* tip) {
    auto* b = new QPushButton(caption, &m_form);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(QCoreApplication::translate("zuz", tip));
    // What a screen reader says: the caption, or for a picture alone its tip.
    b->setAccessibleName(caption.isEmpty() ? b->toolTip() : caption);
    b->setAccessibleDescription(b->toolTip());
    // Keys go to the view, which ends it on X and Esc.
    b->setFocusPolicy(Qt::NoFocus);
    if (m_native) b->setAttribute(Qt::WA_NativeWindow);
    return b;
}

void ViewButtons::place(QPushButton* button, const units::Screen& s, double left, double top,
                        double width, double height) {
    button->setGeometry(s.toPixelsX(left), s.toPixelsY(top), s.toPixelsX(width),
                        s.toPixelsY(height));
}

void ViewButtons::placeCorner(const units::Screen& s) {
    place(m_form.Command5, s, s.Width() - 375, 0, 375, 375);
    const double qxWidth = 300, qxHeight = 255;
    place(m_form.Comqxbcfd, s, s.Width() - qxWidth - 20, (s.Height() - qxHeight) / 1.2, qxWidth,
          qxHeight);
}

void ViewButtons::showCustomSize(CustomSize::Buttons buttons) {
    const bool shown = buttons == CustomSize::Buttons::Shown;
    for (QPushButton* b : {m_form.Command2, m_form.Command1, m_form.Command3, m_form.Command4})
        b->setVisible(shown);
}
