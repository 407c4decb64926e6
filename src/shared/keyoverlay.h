#pragma once

#include <QLabel>

#include <span>

class QKeyEvent;

// One line of a window's key list: the keys and what they do, both
// translated in the context "zuz" where they are shown.
struct KeyHelp {
    const char* keys;
    const char* what;
};

// The list of a window's keys, shown over the window's middle by F1 and
// closed by the next key. It lets the mouse through to the window, and
// goes when the window is hidden, so that a later view starts without it.
class KeyOverlay : public QLabel {
    Q_OBJECT
  public:
    // `native`: a window of its own, to lie above a native surface the
    // window's picture is drawn on.
    KeyOverlay(QWidget& window, std::span<const KeyHelp> keys, bool native = false);

    void showOverWindow();
    // Whether the overlay took the key: a key pressed while it shows only
    // closes it. Shift, Ctrl, Alt and the like alone leave it.
    bool takeKey(const QKeyEvent& event);
    // The list as text, a line a key.
    static QString listing(std::span<const KeyHelp> keys);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// Whether a key asks for the key list (F1, Help, ?) or for the window's
// menu (Shift+F10, the Menu key).
namespace keyrequest {
bool help(const QKeyEvent& event);
bool menu(const QKeyEvent& event);
} // namespace keyrequest
