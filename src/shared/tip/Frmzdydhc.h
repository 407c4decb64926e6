#pragma once

#include <QWidget>

// Which program the tip dialog speaks for: the two copies differ in their
// hint text, marker file, size and a few controls.
enum class TipVariant { Magnifier, Region };

// The tip dialog with short operating hints, shown until the user asks
// never to see it again.
class Frmzdydhc : public QWidget {
    Q_OBJECT
public:
    explicit Frmzdydhc(TipVariant variant, QWidget* parent = nullptr);

private:
    TipVariant m_variant;
};

// Whether the user has asked not to see the dialog at start-up.
bool TipMarkerExists(TipVariant variant);
// Shows the program's one tip dialog, loading it first if it is not loaded.
Frmzdydhc* ShowTipDialog(TipVariant variant);
// Closes the program's tip dialog if it is loaded.
void UnloadTipDialog(TipVariant variant);
