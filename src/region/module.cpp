#include "programentry.h"
#include "startup.h"

int zuzZonaraProgramMain(int argc, char** argv) {
    return startup::runRegion(argc, argv, programstart::Handover::Done);
}
