// zuz's executable where the program proper is a module beside it.
#include "launcher/launcher.h"
#include "shared/startrequest.h"

int main(int argc, char** argv) {
    return launcher::launch("zuz", startrequest::forZuz(argc, argv), argc, argv);
}
