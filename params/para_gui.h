// The parameter set on screen and on the wire: the exchange with the unit, the
// file dialogs, and the parameter panels that show and collect `para_pc`.
//
// Everything here runs on the user-interface thread and reaches the panels
// through the user-interface layer, by the panel handles of ui/panels.h.
// Parts of the program above the parameter subsystem (the measured values, the
// oscillograph panel and window, the analog output view) are reached through
// `params_hooks`; an empty hook is skipped. A right click asks the user
// interface's help hook (ui/help_hook.h).
#pragma once

#include "params/para_record.h"
#include "params/para_transfer.h"
#include "support/inifile.h"

#include <cstdint>

// ---- hooks to the rest of the program ------------------------------------------------
struct params_hooks {
    // Slot `slot` of the last measurement record (16.16 fixed point): slot 0 is
    // the value of channel A, slot 8 that of channel B. Null: no record yet.
    int32_t (*measured_value)(int slot);
    // The oscillograph window follows a record shown or read: trigger cursors
    // from the pretriggers, and the millisecond axis ends when the record's
    // channels do not record alike.
    void (*osci_refresh)(const para_record* rec);
    // The oscillograph mode of a channel on the oscillograph settings panel
    // (osci/osci_mode.h): the panels show the set's skip counts through it.
    void (*set_oszi_mode)(int channel, int mode);
    // The analog output's scale list and transfer view on the general
    // settings panel (settings/anaout_view.h), for the analog output source.
    void (*fill_zoom_list)(int full);
    void (*set_anaout_transfer)(int display, int mode, int channel, int row, para_record* rec, int zoom);
};
extern params_hooks params_hook;

// Directory every file dialog starts in, and the working directory; both take
// the directory of the last file chosen.
extern char last_directory[PARA_PATH_LEN];
extern char work_dirname[PARA_PATH_LEN];

// ---- exchange with the unit ---------------------------------------------------------
// The modes are those of para_transfer (params/para_transfer.h).
// Runs the transactions of `mode` with the request value `value` (callers pass
// 0). `text` (256 bytes) holds the operation text on entry and the result text
// on return. `words`/`nwords` are sent with orders 1 and 2, `answer`/`max_answer`
// receive their answer (a null buffer means count 0 and count 0 a null buffer).
// Returns the link result code of the last transaction, or -14 when the unit
// reports refused fields in the answer's value field. SEND and READ are dimmed
// and red meanwhile.
int parameter_exchange(int mode, int value, char* text, uint16_t* words, int nwords, uint16_t* answer,
                       int max_answer);

// Orders the unit to reset channel 1 (A) or 2 (B); the status text (256 bytes)
// gets the result. Does nothing and returns 1 while a transaction is in flight.
int para_reset_channel(int channel, char* text);

// ---- parameter files with their dialogs -----------------------------------------------
// With a store: adds the 100 sections to it and returns 0. Without: asks for a
// file (starting in last_directory), writes it, and returns 0, -1 when the
// dialog was cancelled, or the store's negative code when the write failed or
// the chosen path is too long (the caller shows "Error while saving file." for
// any negative result).
int parameter_save2file(IniText store, const para_record* rec, const para_record* max,
                        const para_record* min);
// With a store: takes its values into `rec`. Without: asks for a file and reads
// it; -1 when the dialog was cancelled or the file cannot be read, also for a
// chosen path that is too long (then a message popup says so and `rec` is
// unchanged).
int parameter_file2para(IniText store, para_record* rec);
// Progress of a file operation on the activity bar of the main display: shows
// 99 - *step (not below 0) and raises the counter.
void prog_bar(int* step);

// ---- parameter panels ------------------------------------------------------------------
// Shows `rec` on every bound control. May change `rec`: a timer of 0 clears its
// condition, a filter that is off clears its use-filtered flag, channel B off
// clears its timer.
void update_PARA(para_record* rec);
// Reads every bound control into `rec` for modes 1 to 3 and returns 0; other
// modes read nothing and return the mode.
int acquire_PARA(para_record* rec, int mode);
// Dims (off != 0) or enables the timer controls of a channel panel; off also
// clears the channel's timer and timer condition in `rec` and on the panel.
void config_timer(int panel, int off, para_record* rec);
// Applies the channel-B input (1, 0, or -1 = off) to the panels. `osci_mode`
// null takes the channel-B oscillograph mode from its ring.
void panel_B_mode(para_record* rec, int source, const int* osci_mode);
// The coefficient set of filter preset 0..3 into `block`; other presets leave
// it unchanged. `use_filtered` is the panel's switch.
void iir_apply_preset(iir_block* block, int preset, int use_filtered);
// The teach cell value for a 16.16 field, and back (truncated toward zero).
double teach_to_cell(int32_t fixed);
int32_t teach_from_cell(double cell);

// ---- callbacks ---------------------------------------------------------------------------
int CC_RING_TIMER(int panel, int control, int event, void* data, int d1, int d2);
int CC_RING_CHAN(int panel, int control, int event, void* data, int d1, int d2);
int CC_CMDB_RESET(int panel, int control, int event, void* data, int d1, int d2);
int CC_CMDB_TEACH(int panel, int control, int event, void* data, int d1, int d2);
// Registers every callback above by name with the user-interface layer; call
// before the panels are loaded.
void register_params_callbacks();
