// The program's own subsystems behind the shell's hooks. Tests leave this out
// and put fakes in their place.
#include "app/shell.h"
#include "help/help_panels.h"
#include "linear/linear_panel.h"
#include "osci/osci_gui.h"
#include "osci/osci_mode.h"
#include "params/para_gui.h"
#include "recorder/recorder_panel.h"
#include "run/run_mode.h"
#include "settings/anaout_view.h"
#include "settings/settings_panel.h"

namespace {

int update(para_record* rec) {
    update_PARA(rec);
    return 0;
}

// Leaving the general settings panel closes the transfer view.
void close_transfer_view() {
    set_anaout_transfer(0, 0, 0, 0, &paras.para_pc, 0);
}

void rec_buttons(int on) {
    set_rec_buttons(on, recs.recorder);
}

void strip_chart() {
    configure_STC(&traces);
}

int running() {
    return runs.run != 0;
}

// TEACH takes the result of the last record: slot 0 is RESULT A, slot 8 RESULT B.
int32_t measured(int slot) {
    return meas_word32(runs.rawdata, 2 * slot);
}

} // namespace

void shell_use_subsystems() {
    register_params_callbacks();
    shell.acquire_para = acquire_PARA;
    shell.update_para = update;
    shell.parameter_exchange = parameter_exchange;
    shell.parameter_save2file = parameter_save2file;
    shell.parameter_file2para = parameter_file2para;
    shell.set_anaout_transfer = close_transfer_view;
    register_recorder_callbacks();
    shell.set_rec_buttons = rec_buttons;
    shell.configure_stc = strip_chart;
    recorder_hook.running = running;
    params_hook.measured_value = measured;
    params_hook.set_oszi_mode = set_oszi_mode;
    params_hook.fill_zoom_list = fill_zoom_list;
    params_hook.set_anaout_transfer = set_anaout_transfer;
    register_osci_callbacks();
    params_hook.osci_refresh = osci_refresh;
    run_hook.osci_mode = osci_ms_axis;
    run_hook.clear_video = osci_clear_video;
    run_hook.osci_zoom = osci_zoom;
    shell.print_osci1_legend = print_osci1_legend;
    help_install();
    register_settings_callbacks();
    register_linear_callbacks();
}
