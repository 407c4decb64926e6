#include "startup.h"

int main(int argc, char** argv) {
    return startup::runMagnifier(argc, argv);
}
