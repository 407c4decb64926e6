#include "startup.h"

int main(int argc, char** argv) {
    return startup::runRegion(argc, argv);
}
