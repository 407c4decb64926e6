#pragma once

#include "shared/tip/tiptext.h"

#include <QString>

class QMenu;
class QWidget;
struct Services;

// What the forms put before the user and wait on: menus, boxes and the tip
// dialog. They reach it through their services, as they reach the screen
// and the keys, so that tests answer in the user's place and no platform
// adapter opens a window of its own.
class Prompts {
  public:
    virtual ~Prompts() = default;
    // Pops `menu` up at the pointer and returns when it closes.
    virtual void PopupMenu(QMenu* menu) = 0;
    // Asks for a line of text; an empty result means cancelled.
    virtual QString InputBox(QWidget* parent, const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;
    // Shows a message and returns when it is closed.
    virtual void MessageBox(const QString& text, const QString& title) = 0;
    // Whether the user has asked not to see the tip dialog at start-up.
    virtual bool TipMarkerExists(TipVariant variant) = 0;
    // Shows the program's one tip dialog, owned by `owner` (or by none),
    // naming the ways back it is given; an open one comes to the front.
    virtual void ShowTipDialog(TipVariant variant, QWidget* owner, const TipWayBack& wayBack) = 0;
    virtual void UnloadTipDialog(TipVariant variant) = 0;
};

// Qt's menus and boxes, and the real tip dialog.
class DialogPrompts : public Prompts {
  public:
    void PopupMenu(QMenu* menu) override;
    QString InputBox(QWidget* parent, const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    void MessageBox(const QString& text, const QString& title) override;
    bool TipMarkerExists(TipVariant variant) override;
    void ShowTipDialog(TipVariant variant, QWidget* owner, const TipWayBack& wayBack) override;
    void UnloadTipDialog(TipVariant variant) override;
};

// The prompts of `services`, or the real ones where none are given.
Prompts& promptsOf(const Services& services);

// The ways back to a view that the magnifier holds: the key as far as the
// desktop gave it, and the icon where a notification area shows it.
TipWayBack wayBackOf(const Services& services);
