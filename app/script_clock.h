// One-shot calls from the event loop, so that each script line runs as its own
// event and a line whose callback loops does not hold the next line up.
#pragma once

// Calls fn once, from the event loop, after `seconds` (0: as soon as events
// are handled next).
void script_call_after(double seconds, void (*fn)());
