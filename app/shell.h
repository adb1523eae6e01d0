// The application shell: start-up, the main window's own callbacks (panel
// selection, target, SEND/READ, STOP), the tab panels' background clicks and
// the shut-down order, plus the globals the shell owns.
//
// Parts of the program that come later (the recorder buttons, the strip chart
// set-up, the oscillograph legend, the parameter panels) are
// reached through shell_hooks, so the shell runs before they exist and tests
// can watch the order of the shut-down steps. A null hook is skipped.
#pragma once

#include "params/para_record.h"
#include "support/inifile.h"
#include "support/path_time.h"
#include "support/program.h"

// ---- globals owned by the shell -----------------------------------------------------
extern char scope_para_file[UI_MAX_PATH]; // program settings file, built at start-up

// Parameter targets as get_para_target returns them.
enum { PARA_TARGET_NONE = 0, PARA_TARGET_RAM = 1, PARA_TARGET_ROM = 2, PARA_TARGET_FILE = 3 };

// ---- hooks to the other subsystems ----------------------------------------------------
struct shell_hooks {
    // Parameter panels, exchange and files (the parameter subsystem), with the
    // arguments and results that subsystem gives them.
    int (*acquire_para)(para_record* rec, int mode);
    int (*update_para)(para_record* rec);
    int (*parameter_exchange)(int mode, int value, char* text, uint16_t* words, int nwords, uint16_t* answer,
                              int max_answer);
    int (*parameter_save2file)(IniText store, const para_record* rec, const para_record* max,
                               const para_record* min);
    int (*parameter_file2para)(IniText store, para_record* rec);
    // Recorder buttons to idle (0) or running (1).
    void (*set_rec_buttons)(int on);
    // Strip chart set-up from the trace record.
    void (*configure_stc)();
    // Legend of the oscillograph window.
    void (*print_osci1_legend)();
    // Analog output transfer graph of the general settings panel.
    void (*set_anaout_transfer)();
    // Called at each shut-down step (1 to 6, the numbers of the shut-down order)
    // before it runs; tests use it to see the order.
    void (*shutdown_step)(int step);
};
extern shell_hooks shell;

// ---- start-up and shut-down ---------------------------------------------------------------
// Registers every CC_ callback of the shell (and of the connect panel and RUN)
// with the user-interface layer, and points RUN's hooks back at the shell's
// (recorder buttons, SEND/READ); must run before the first LoadPanel.
void shell_register_callbacks();
// Puts the program's subsystems behind the hooks, registers their callbacks
// and installs the context help; must run before the first LoadPanel.
void shell_use_subsystems();
// Start-up steps 2 to 18: load, fill, place and show the panels, build the
// settings file name and load it. Returns 0, or -1 when a panel fails to load
// (nothing is shown then).
int shell_startup();
// Discards every loaded panel in the order of the shut-down and clears the
// handles.
void shell_discard_panels();
// The shut-down order of a close event (steps 1 to 6); ends in
// QuitUserInterface(exit_code). A settings file that cannot be written shows
// one "File error!" popup with its path before the end.
void shell_shutdown(int exit_code);

// ---- main window ----------------------------------------------------------------------------
// 1 RAM, 2 ROM, 3 FILE, 0 when no target button is on.
int get_para_target();
// Dims or enables SEND and READ for the chosen target and the link state.
void shell_update_target_dimming();
// Shows a tab panel by its selector button, with the hidden-selector rules.
void shell_select_panel(int selector);
// The STOP action (recorder idle, RUN/VIDEO grey and enabled, "Stopped.").
void shell_stop();
// Shows a text in the status line of the main display.
void shell_status(const char* text);

// ---- link ---------------------------------------------------------------------------------------
// Fills the link's user-interface hooks and its user-interrupt table from the
// loaded panels.
void shell_link_setup();

// ---- callbacks ------------------------------------------------------------------------------------
int CC_MPANEL(int panel, int control, int event, void* data, int d1, int d2);
int CC_PANELSELECT(int panel, int control, int event, void* data, int d1, int d2);
int CC_MEMORY(int panel, int control, int event, void* data, int d1, int d2);
int CC_EXCHANGE(int panel, int control, int event, void* data, int d1, int d2);
int CC_CBTN_STOP(int panel, int control, int event, void* data, int d1, int d2);
int CC_TAB1(int panel, int control, int event, void* data, int d1, int d2);
int CC_TAB2(int panel, int control, int event, void* data, int d1, int d2);
int CC_TAB3(int panel, int control, int event, void* data, int d1, int d2);
int CC_TAB4(int panel, int control, int event, void* data, int d1, int d2);
int CC_TAB5(int panel, int control, int event, void* data, int d1, int d2);
int CC_TAB6(int panel, int control, int event, void* data, int d1, int d2);
int CC_TAB7(int panel, int control, int event, void* data, int d1, int d2);
int CC_TAB8(int panel, int control, int event, void* data, int d1, int d2);
int CC_TAB9(int panel, int control, int event, void* data, int d1, int d2);
int CC_TAB10(int panel, int control, int event, void* data, int d1, int d2);
int CC_TAB11(int panel, int control, int event, void* data, int d1, int d2);
