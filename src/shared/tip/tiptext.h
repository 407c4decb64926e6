#pragma once

#include "shared/platform/hotkey.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

// Which program the tip dialog speaks for: the two copies differ in their
// hint text, marker file, size and a few controls.
enum class TipVariant { Magnifier, Region };

// How the user can bring the magnifier's next view, which its hints point
// at: the key as far as the desktop gave it, and the icon in a
// notification area.
struct TipWayBack {
    HotkeyReach key = HotkeyReach::Claimed;
    bool trayIcon = true;
    // Whether anything brings the next view without starting zuz again.
    bool reachable() const;
};

// "Vivoduzivi.ini" or "Vorlane.ini".
QString TipMarkerFileName(TipVariant variant);
// The hint label's pieces and their caption (joined with CR LF CR LF).
// The hints as shown, or in the source language, as the marker file keeps
// them. The magnifier's hints name only the ways back the user has.
enum class TipLanguage { Shown, Source };
QStringList TipHintPieces(TipVariant variant, const TipWayBack& wayBack = {},
                          TipLanguage language = TipLanguage::Shown);
QString TipHintText(TipVariant variant, const TipWayBack& wayBack = {});
// What the check box appends to the marker file (pieces parted by CR LF
// CR LF, one CR LF after the last piece, as Windows editors read it).
QByteArray TipMarkerContent(TipVariant variant);

// Where the marker file is looked for and written. The program folder is
// first place, beside the program; when it cannot be written (an installed
// program's folder usually cannot), the marker goes to the program's folder
// under the user's configuration folder, and a marker in either place
// suppresses the dialog at start-up.
struct TipMarkerFolders {
    QString programFolder;
    QString configFolder;
};

// The folders of the running program: applicationDirPath() and
// <user settings folder>/zuz or /Zonara. SetTipMarkerFolders
// replaces them (tests); an empty struct restores them.
TipMarkerFolders DefaultTipMarkerFolders(TipVariant variant);
void SetTipMarkerFolders(TipVariant variant, const TipMarkerFolders& folders);

// Appends the marker text: to the program folder's file, or when that
// cannot be written to the configuration folder's. Returns the path
// written, or an empty string when neither could be.
QString AppendTipMarker(TipVariant variant, const TipMarkerFolders& folders);

// Whether the user has asked not to see the dialog at start-up: the marker
// file exists in the program folder or in the configuration folder.
bool TipMarkerExists(TipVariant variant);
bool TipMarkerExists(TipVariant variant, const TipMarkerFolders& folders);
