#pragma once

#include "magnifierrig.h"
#include "shared/platform/hotkey.h"
#include "shared/platform/trayicon.h"
#include "shared/tip/Frmzdydhc.h"

#include <QDir>
#include <QIcon>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <vector>

// A hotkey service that claims what it is asked to and lets the test press
// any combination: only the one claimed is the hotkey, as on a desktop.
class FakeHotkeyService : public HotkeyService {
  public:
    struct Claim {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    bool claim(Qt::Key key, Qt::KeyboardModifiers modifiers) override {
        claims.push_back({key, modifiers});
        return claimSucceeds;
    }
    HotkeyReach reach() const override {
        return claims.empty() || !claimSucceeds ? HotkeyReach::None : reached;
    }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        const auto claimed = [&](const Claim& c) {
            return c.key == key && c.modifiers == modifiers;
        };
        if (claimSucceeds && std::any_of(claims.begin(), claims.end(), claimed)) emit activated();
    }
    void pressCtrlZ() { press(Qt::Key_Z, Qt::ControlModifier); }
    std::vector<Claim> claims;
    bool claimSucceeds = true;
    HotkeyReach reached = HotkeyReach::Claimed;
};

// A tray that records the requests it is given.
class FakeTrayIconService : public TrayIconService {
  public:
    bool add(const QIcon& icon, const QString& tip) override {
        ++adds;
        shown = true;
        this->tip = tip;
        icons.push_back(icon.pixmap(32, 32).toImage());
        return true;
    }
    bool modifyIcon(const QIcon& icon) override {
        ++modifies;
        icons.push_back(icon.pixmap(32, 32).toImage());
        return shown;
    }
    bool remove() override {
        ++removes;
        const bool was = shown;
        shown = false;
        return was;
    }
    bool hostAvailable() const override { return hostPresent; }
    void click(QSystemTrayIcon::ActivationReason reason = QSystemTrayIcon::Context) {
        emit activated(reason);
    }

    int adds = 0, modifies = 0, removes = 0;
    bool shown = false;
    bool hostPresent = true;
    QString tip;
    std::vector<QImage> icons;
};

// The magnifier on a fake screen with fake hotkey and tray, loaded as the
// program loads it, with its marker folders in a temporary directory.
struct TrayRig : MagnifierRig {
    explicit TrayRig(QSize pixels = QSize(800, 600), bool withMarker = true)
        : MagnifierRig(pixels) {
        programFolder = dir.filePath(QStringLiteral("program"));
        configFolder = dir.filePath(QStringLiteral("config/zuz"));
        QDir().mkpath(programFolder);
        SetTipMarkerFolders(TipVariant::Magnifier, {programFolder, configFolder});
        if (withMarker) {
            QFile f(QDir(programFolder).filePath(QStringLiteral("Vivoduzivi.ini")));
            f.open(QIODevice::WriteOnly);
        }
        create(&hotkey, &tray);
        // Requests a test makes at once would otherwise be taken for a
        // held key's repeats; the tests move this clock on.
        form->summons().heldKeys.setClock([this] { return clockMs; });
    }
    // Past the time within which a request repeats the previous one.
    void letKeyGo() { clockMs += HeldKeyFilter::kRepeatWindowMs; }
    // zuz waiting in the tray: loaded, its first view ended as the user
    // ends it.
    void loadAndEndView() {
        load();
        form->EndView();
    }
    // The timer that the hotkey and the tray's click arm, run once; false
    // when it did not run in time.
    [[nodiscard]] bool runTimKey() {
        form->TimKey->setEnabled(true);
        return QTest::qWaitFor([this] { return !form->TimKey->Enabled(); });
    }
    ~TrayRig() {
        // Before the hotkey and tray it holds go.
        form.reset();
        UnloadTipDialog(TipVariant::Magnifier);
        SetTipMarkerFolders(TipVariant::Magnifier, {});
    }

    QTemporaryDir dir;
    QString programFolder;
    QString configFolder;
    FakeHotkeyService hotkey;
    FakeTrayIconService tray;
    qint64 clockMs = 1000000;
};
