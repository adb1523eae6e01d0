// The oscillograph mode of a channel on the oscillograph settings panel, and
// the check whether both channels record alike. The parameter panels reach
// set_oszi_mode through params_hooks.
#pragma once

#include "params/para_record.h"

// Mode -1 (Off), 0 (Auto) or 1 (Once) on the controls of channel 1 (B) or any
// other value (A); other modes are ignored.
void set_oszi_mode(int channel, int mode);
// 1 when the oscillograph settings of both channels in `rec` agree, else 0.
int test_osci_setting(const para_record* rec);
