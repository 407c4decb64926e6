#include "shared/keyoverlay.h"

#include <QCoreApplication>
#include <QKeyEvent>

KeyOverlay::KeyOverlay(QWidget& window, std::span<const KeyHelp> keys, bool native)
    : QLabel(&window) {
    setObjectName(QStringLiteral("keyOverlay"));
    QString rows;
    for (const KeyHelp& k : keys)
        rows += QStringLiteral("<tr><td><b>%1</b></td><td width=\"24\"></td><td>%2</td></tr>")
                    .arg(QCoreApplication::translate("zuz", k.keys).toHtmlEscaped(),
                         QCoreApplication::translate("zuz", k.what).toHtmlEscaped());
    setText(
        QStringLiteral("<h3>%1</h3><table cellspacing=\"0\" cellpadding=\"5\">%2</table><p>%3</p>")
            .arg(QCoreApplication::translate("zuz", "按键一览").toHtmlEscaped(), rows,
                 QCoreApplication::translate("zuz", "按任意键关闭").toHtmlEscaped()));
    setTextFormat(Qt::RichText);
    // Light on dark and large, for those who read the enlarged screen; an
    // opaque panel, as a native window cannot blend with what lies under it.
    setStyleSheet(QStringLiteral("QLabel { background: #202020; color: #FFFFFF; "
                                 "border: 2px solid #FFD700; padding: 12px; }"));
    setAccessibleName(QCoreApplication::translate("zuz", "按键一览"));
    setAccessibleDescription(listing(keys));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    if (native) setAttribute(Qt::WA_NativeWindow);
    hide();
    window.installEventFilter(this);
}

QString KeyOverlay::listing(std::span<const KeyHelp> keys) {
    QStringList lines;
    for (const KeyHelp& k : keys)
        lines << QCoreApplication::translate("zuz", k.keys) + QStringLiteral(": ") +
                     QCoreApplication::translate("zuz", k.what);
    return lines.join(QLatin1Char('\n'));
}

void KeyOverlay::showOverWindow() {
    const QWidget& w = *parentWidget();
    const auto fits = [this, &w] { return width() <= w.width() && height() <= w.height(); };
    // Large, and smaller only as far as it stays easy to read.
    QFont f = font();
    for (int points = 16; points >= 11; --points) {
        f.setPointSize(points);
        setFont(f);
        adjustSize();
        if (fits()) break;
    }
    if (fits()) {
        if (isWindow()) setWindowFlags(Qt::Widget);
        move((w.width() - width()) / 2, (w.height() - height()) / 2);
    } else {
        // Over a window too small for it (a small region), a window of its
        // own that takes neither the focus nor the keys.
        f.setPointSize(16);
        setFont(f);
        if (!isWindow()) setWindowFlags(Qt::ToolTip | Qt::FramelessWindowHint);
        adjustSize();
        // Centred as a list inside the window is, whatever the sizes' parity.
        move(w.mapToGlobal(QPoint((w.width() - width()) / 2, (w.height() - height()) / 2)));
    }
    show();
    raise();
}

bool KeyOverlay::takeKey(const QKeyEvent& event) {
    if (isHidden()) return false;
    switch (event.key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        return true;
    default:
        hide();
        return true;
    }
}

bool KeyOverlay::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Hide && watched == parent()) hide();
    return false;
}

namespace keyrequest {

bool help(const QKeyEvent& event) {
    const int k = event.key();
    return k == Qt::Key_F1 || k == Qt::Key_Help || k == Qt::Key_Question;
}

bool menu(const QKeyEvent& event) {
    return event.key() == Qt::Key_Menu ||
           (event.key() == Qt::Key_F10 && event.modifiers().testFlag(Qt::ShiftModifier));
}

} // namespace keyrequest
