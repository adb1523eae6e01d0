// zazed-batch: end-of-line set-up of KORMELAN-3 units from a script, with no display.
#include "batch/batch_run.h"

#include <QCoreApplication>

#include <iostream>

int main(int argc, char** argv) {
    // The link's sockets and serial ports need an event loop, not a display.
    QCoreApplication app(argc, argv);
    return batch_main(argc, argv, std::cout, std::cerr);
}
