#include "startup.h"

int main(int argc, char** argv) {
    return startup::runCapture(argc, argv);
}
