// The dialog side of parameter files: the file popups, the remembered
// directory, the progress display and the failure reports around the pure
// store and file routines of para_file.
#include "params/para_file.h"
#include "params/para_gui.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

char last_directory[PARA_PATH_LEN] = "";
char work_dirname[PARA_PATH_LEN] = "";

namespace {

const char file_title[] = "KORMELAN-3 Parameter File";
const char file_filter[] = "*.ini";

enum { CHOSEN = 0, CANCELLED = -1, NOT_CHOSEN = -2 };

// Asks for the file and remembers its directory for the next dialog. Returns
// CHOSEN, CANCELLED, or NOT_CHOSEN when the chosen path does not fit (it is
// refused as a whole: a cut path would name another file).
int choose_file(int button) {
    char path[UI_MAX_PATH] = "";
    const int rc = FileSelectPopup(last_directory, file_filter, file_filter, file_title, button, path);
    if (rc < 0) return NOT_CHOSEN;
    if (rc == UI_NO_FILE_SELECTED) return CANCELLED;
    static_assert(sizeof paras.para_pathname >= UI_MAX_PATH && sizeof last_directory >= UI_MAX_PATH &&
                      sizeof work_dirname >= UI_MAX_PATH,
                  "every path the dialog gives must fit");
    snprintf(paras.para_pathname, sizeof paras.para_pathname, "%s", path);
    char drive[UI_MAX_PATH] = "";
    char dir[UI_MAX_PATH] = "";
    SplitPath(paras.para_pathname, drive, dir, nullptr);
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
    const int chosen = choose_file(UI_SAVE_BUTTON);
    if (chosen == CANCELLED) return -1;
    if (chosen != CHOSEN) return INI_ERR_NOT_WRITABLE;
    // A failed write leaves the old file as it was; the caller reports it
    // instead of "Done.".
    return parameter_save2path(paras.para_pathname, rec, max, min);
}

int parameter_file2para(IniText store, para_record* rec) {
    para_file_progress = prog_bar;
    if (store) return parameter_store2para(store, rec);
    const int chosen = choose_file(UI_LOAD_BUTTON);
    if (chosen == CANCELLED) return -1;
    if (chosen != CHOSEN || parameter_path2para(paras.para_pathname, rec) < 0) {
        MessagePopup("Error", "Error while reading ini-file");
        return -1;
    }
    return 0;
}
