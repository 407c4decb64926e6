#pragma once

#include "region/picker/regionclipboard.h"
#include "shared/platform/services.h"

class QString;

// What the area picker asks of whoever opened it: Zonara's control window,
// or the capture program that runs the picker on its own.
class CaptureAreaOwner {
  public:
    virtual const Services& services() const = 0;
    virtual RegionClipboard& clipboard() const = 0;
    // The information message of a failed capture.
    virtual void InformationBox(const QString& text) = 0;
    // After a release, once the picker has unloaded: the picked region is
    // on the clipboard unless the capture failed.
    virtual void PickTaken() = 0;

  protected:
    ~CaptureAreaOwner() = default;
};
