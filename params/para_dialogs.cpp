// The dialog side of parameter files: the file popups, the remembered
// directory, the progress display and the failure reports around the pure
// store and file routines of para_file.
#include "app/panels.h"
#include "params/para_file.h"
#include "params/para_gui.h"
#include "resources/userif.h"
#include "support/ui.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

char last_directory[PARA_PATH_LEN] = "";
char work_dirname[PARA_PATH_LEN] = "";

namespace {

const char file_title[] = "KORMELAN-3 Parameter File";
const char file_filter[] = "*.ini";

// Asks for the file and remembers its directory for the next dialog. Returns
// 0, or -1 when the user cancelled.
int choose_file(int button) {
    char path[UI_MAX_PATH] = "";
    if (FileSelectPopup(last_directory, file_filter, file_filter, file_title, button, path) < 1) return -1;
    snprintf(para_pathname, sizeof para_pathname, "%s", path);
    char drive[UI_MAX_PATH] = "";
    char dir[UI_MAX_PATH] = "";
    SplitPath(para_pathname, drive, dir, nullptr);
    const size_t n = strnlen(drive, sizeof last_directory - 1);
    memcpy(last_directory, drive, n);
    snprintf(last_directory + n, sizeof last_directory - n, "%s", dir);
    snprintf(work_dirname, sizeof work_dirname, "%s", last_directory);
    return 0;
}

} // namespace

void prog_bar(int* step) {
    SetCtrlVal(graph1, GRAPH1_BAR_ACTIVITY1, static_cast<double>(std::max(0, 99 - *step)));
    ++*step;
}

int parameter_save2file(IniText store, const para_record* rec, const para_record* max,
                        const para_record* min) {
    para_file_progress = prog_bar;
    if (store) return parameter_save2store(store, rec, max, min);
    if (choose_file(UI_SAVE_BUTTON) < 0) return -1;
    // A failed write leaves the old file as it was; the caller reports it
    // instead of "Done.".
    return parameter_save2path(para_pathname, rec, max, min);
}

int parameter_file2para(IniText store, para_record* rec) {
    para_file_progress = prog_bar;
    if (store) return parameter_store2para(store, rec);
    if (choose_file(UI_LOAD_BUTTON) < 0) return -1;
    if (parameter_path2para(para_pathname, rec) < 0) {
        MessagePopup("Error", "Error while reading ini-file");
        return -1;
    }
    return 0;
}
