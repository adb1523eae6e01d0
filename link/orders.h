// The order numbers of the frames exchanged with the unit, and the fixed
// request values that go with some of them. The program, the simulated unit
// and the tests name orders only through this table.
#pragma once

// ---- order numbers ------------------------------------------------------------------------
constexpr int ORDER_REJECTED = 0;      // the unit's answer to an order or argument it refuses
constexpr int ORDER_WRITE_RAM = 1;     // parameter set into RAM (228 words out)
constexpr int ORDER_READ_RAM = 2;      // parameter set from RAM (228 words back)
constexpr int ORDER_STORE_ROM = 3;     // RAM set into the non-volatile memory
constexpr int ORDER_LOAD_ROM = 4;      // non-volatile set into RAM
constexpr int ORDER_SEARCH = 5;        // search; the answer's value is the unit's number
constexpr int ORDER_VERSION = 7;       // identification and firmware version text
constexpr int ORDER_POLL = 8;          // measurement record, oscillograph status; also autosend frames
constexpr int ORDER_OSCI_BLOCK = 9;    // one block of oscillograph samples
constexpr int ORDER_NORM_NOW = 28;     // acquire the norm factor now
constexpr int ORDER_RESET = 29;        // reset channel A, B or both
constexpr int ORDER_AUTOSEND = 30;     // switch autosend on or off
constexpr int ORDER_LIMITS = 104;      // lower or upper parameter limits
constexpr int ORDER_LIN_ANNOUNCE = 180; // announce the write of a linearisation block
constexpr int ORDER_LIN_WRITE = 182;   // write a linearisation block
constexpr int ORDER_LIN_READ = 184;    // read a linearisation block
constexpr int ORDER_BAUD = 190;        // switch the unit's RS-232 rate (baud index 0 to 4)
constexpr int ORDER_HARDWARE = 194;    // hardware information block

// ---- request values -------------------------------------------------------------------------
constexpr int POLL_RECORD = 252;       // ORDER_POLL: one measurement record (the RUN loop)
constexpr int POLL_OSCI_STATUS = 3;    // ORDER_POLL: record plus the oscillograph status
constexpr int POLL_CLOSE_A = 84;       // ORDER_POLL: channel A's sequence was read, arm it again
constexpr int POLL_CLOSE_B = 168;      // ORDER_POLL: the same for channel B
constexpr int LIMITS_MIN = 1;          // ORDER_LIMITS: lower limits
constexpr int LIMITS_MAX = 2;          // ORDER_LIMITS: upper limits
constexpr int RESET_A = 1;             // ORDER_RESET: channel A
constexpr int RESET_B = 2;             // ORDER_RESET: channel B
constexpr int RESET_BOTH = 3;          // ORDER_RESET: both channels
constexpr int AUTOSEND_OFF = 0;        // ORDER_AUTOSEND
constexpr int AUTOSEND_ON = 1;

// Linearisation blocks are named by the high byte of the value: 0x13 holds both
// channels' descriptions, 0x14 to 0x17 channel A's tables, 0x18 to 0x1B channel B's.
constexpr int LIN_FIRST_BLOCK = 0x13;
constexpr int LIN_LAST_BLOCK = 0x1B;
constexpr int LIN_INFO_BLOCK = LIN_FIRST_BLOCK << 8; // 0x1300, the value of the information block

// ORDER_POLL answers whose value is 1, 2 or 3 are status answers.
constexpr int POLL_STATUS_FIRST = 1;
constexpr int POLL_STATUS_LAST = 3;
// Words of the search request, all 0.
constexpr int SEARCH_WORDS = 16;
