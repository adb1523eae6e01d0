// The program's own subsystems behind the shell's hooks. Tests leave this out
// and put fakes in their place.
#include "app/shell.h"
#include "params/para_gui.h"

namespace {

int update(para_record* rec) {
    update_PARA(rec);
    return 0;
}

// Leaving the general settings panel closes the transfer view.
void close_transfer_view() {
    set_anaout_transfer(0, 0, 0, 0, &para_pc, 0);
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
}
