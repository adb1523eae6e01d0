// Descriptions of the linearisation tables on the linearisation panel.
#pragma once

// Shows a description the unit keeps for a channel (0 = A, 1 = B): `text` is a
// block of up to 256 bytes, zero-terminated or not, and replaces the channel's
// description box, which turns white; the file-name field says the data comes
// from the unit's flash memory. Returns 0 for a null text, else 1.
int refresh_linear_info(int channel, const char* text);

// Bytes of one description block as the unit sends it.
constexpr int LINEAR_INFO_BYTES = 256;
