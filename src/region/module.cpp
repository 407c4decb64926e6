#include "launcher/programentry.h"
#include "region/regionstart.h"

int zuzZonaraProgramMain(int argc, char** argv) {
    return regionstart::runRegion(argc, argv, programstart::Handover::Done);
}
