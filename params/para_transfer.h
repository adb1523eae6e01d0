// Moving the parameter set between the PC and the unit's RAM and ROM: the
// transactions of each transfer mode, the status text they build by
// concatenation, and the unit's plausibility count. No panel is touched here;
// the program's SEND and READ dim their buttons around it (para_gui.h), the
// batch tool calls it as it is.
#pragma once

#include "link/exchanger.h"

#include <cstdint>

enum {
    PARA_MODE_SEND_RAM = 1, // order 1
    PARA_MODE_READ_RAM = 2, // order 2
    PARA_MODE_SEND_ROM = 3, // order 1, then order 3
    PARA_MODE_READ_ROM = 4, // order 4, then order 2
};

// Runs the transactions of `mode` through `link` with the request value `value`
// (callers pass 0). `text` (LINK_TEXT_SIZE bytes) holds the operation text on
// entry ("Sending data ... ") and the result text on return. `words`/`nwords`
// are sent with orders 1 and 2, `answer`/`max_answer` receive their answer (a
// null buffer means count 0 and count 0 a null buffer). Returns the link result
// code of the last transaction as switch_status normalises it, or
// LINK_ERR_PLAUSIBILITY when the unit reports refused fields in the answer's
// value field. A set the unit refused in part is never stored to ROM.
int para_transfer(const link_exchanger& link, int mode, int value, char* text, const uint16_t* words,
                  int nwords, uint16_t* answer, int max_answer);
