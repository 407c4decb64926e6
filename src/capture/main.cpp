#include "capture/capturestart.h"

int main(int argc, char** argv) {
    return capturestart::runCapture(argc, argv);
}
