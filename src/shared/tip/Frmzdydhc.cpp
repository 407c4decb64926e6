#include "tip/Frmzdydhc.h"

// Placeholder until the dialog is built: the interface the programs use.
Frmzdydhc::Frmzdydhc(TipVariant variant, QWidget* parent) : QWidget(parent), m_variant(variant) {}

bool TipMarkerExists(TipVariant) { return true; }
Frmzdydhc* ShowTipDialog(TipVariant) { return nullptr; }
void UnloadTipDialog(TipVariant) {}
