// Running zazed-batch: each unit in turn is opened, paired and given the
// command; the reports go to `out`, usage errors to `err`. Needs a
// QCoreApplication (the link's sockets and serial ports live in its event
// loop) but no display. Returns the exit status (batch_args.h).
#pragma once

#include "batch/batch_args.h"

#include <ostream>

int batch_run(const batch_args& a, std::ostream& out, std::ostream& err);

// Reads the command line and runs it: --help goes to `out` with status 0.
int batch_main(int argc, const char* const* argv, std::ostream& out, std::ostream& err);
