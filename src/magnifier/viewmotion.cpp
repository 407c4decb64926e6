#include "magnifier/viewmotion.h"

ViewMotion::Step ViewMotion::tick(double pictureHeight, double windowTop, double windowHeight) {
    Step step{ScrollTop, Tick::Continue};
    ScrollTop -= kStep;
    if (float(pictureHeight) + ScrollTop < float(windowHeight)) {
        if (loop == Switch::On)
            ScrollTop = float(windowTop);
        else
            step.next = Tick::Stop;
    }
    return step;
}
