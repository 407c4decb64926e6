#include "magnifier/magnifierstart.h"

int main(int argc, char** argv) {
    return magnifierstart::runMagnifier(argc, argv);
}
