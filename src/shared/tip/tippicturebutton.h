#pragma once

#include "shared/tip/tiplabels.h"

// A picture that the user clicks as a button. It stays a picture for
// drawing and the mouse; screen readers are told it is a button, and
// their press does what a click does.
class TipPictureButton : public TipImage {
    Q_OBJECT
  public:
    explicit TipPictureButton(QWidget* parent = nullptr);
};
