#include "region/regionstart.h"

int main(int argc, char** argv) {
    return regionstart::runRegion(argc, argv);
}
