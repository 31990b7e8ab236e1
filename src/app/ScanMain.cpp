#include "ScanCommand.h"

int main(int argc, char** argv) {
    return trevalo::runScanCommand(argc, argv);
}
