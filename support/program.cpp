#include "support/program.h"

const char pc_version_str[] = "KORMELAN-3 Zazed V4.04";
