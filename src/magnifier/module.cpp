#include "launcher/programentry.h"
#include "magnifier/magnifierstart.h"

int zuzZonaraProgramMain(int argc, char** argv) {
    return magnifierstart::runMagnifier(argc, argv, programstart::Handover::Done);
}
