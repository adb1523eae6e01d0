// The hardware-information file a user sends to the manufacturer: what the
// PC and the unit say about themselves, the unit's hardware block and its
// current RAM parameter set, in one ini file.
#include "connect/connect_panel.h"
#include "link/link.h"
#include "link/orders.h"
#include "params/para_gui.h"
#include "support/inifile.h"
#include "support/program.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace {

void status(const char* text) {
    SetCtrlVal(graph1, GRAPH1_STRING_STATUS, text);
}

// One answer of up to 256 words; on failure the status line shows the
// code's text. Returns 1 on success.
int ask(int order, uint16_t* answer, int max_answer, int* n) {
    const int rc = exchange_frame(&com.connect, order, 0, nullptr, 0, answer, max_answer, n);
    if (switch_status(rc, nullptr) == 0) return 1;
    switch_status(rc, str_data);
    status(str_data);
    return 0;
}

void remember_directory(const char* path) {
    char drive[UI_MAX_PATH] = "";
    char dir[UI_MAX_PATH] = "";
    SplitPath(path, drive, dir, nullptr);
    const size_t n = strnlen(drive, sizeof last_directory - 1);
    std::memcpy(last_directory, drive, n);
    std::snprintf(last_directory + n, sizeof last_directory - n, "%s", dir);
}

} // namespace

int connect_export_hw() {
    str_data[0] = '\0';
    uint16_t words[FRAME_MAX_REQUEST_WORDS] = {};
    if (parameter_exchange(PARA_MODE_READ_RAM, 0, str_data, nullptr, 0, words, PARA_WORDS) != 0) {
        status(str_data);
        return 0;
    }
    para_from_words(&paras.para_rd, words);

    int n = 0;
    uint16_t answer[FRAME_MAX_REQUEST_WORDS] = {};
    if (!ask(ORDER_VERSION, answer, 0, &n)) return 0;
    char version[2 * FRAME_MAX_REQUEST_WORDS];
    answer_text(answer, n, version, sizeof version);

    uint16_t hardware[FRAME_MAX_REQUEST_WORDS] = {};
    if (!ask(ORDER_HARDWARE, hardware, FRAME_MAX_REQUEST_WORDS, &n)) return 0;

    char path[UI_MAX_PATH] = "";
    const int chosen = FileSelectPopup(last_directory, "*.ini", "*.ini", "Export harware info to file",
                                       UI_SAVE_BUTTON, path);
    if (chosen == UI_ERR_LONG_PATH) {
        MessagePopup("File error!", "The hardware information could not be written.");
        return 0;
    }
    if (chosen < 1) {
        status("No file selected.\n\nNo data was exported.");
        return 0;
    }
    remember_directory(path);

    std::unique_ptr<IniStore, void (*)(IniText)> store(Ini_New(0), Ini_Dispose);
    if (!store) return 0;
    Ini_PutString(store.get(), "GENERAL INFO", "ZAZED VERSION:", pc_version_str);
    Ini_PutString(store.get(), "GENERAL INFO", "FIRMWARE VERSION:", version);
    Ini_PutString(store.get(), "HARDWARE INFO", "DATA",
                  hardware_hex(hardware, FRAME_MAX_REQUEST_WORDS).c_str());
    parameter_save2file(store.get(), &paras.para_rd, nullptr, nullptr);
    if (Ini_WriteToFile(store.get(), path) < 0) {
        MessagePopup("File error!", "The hardware information could not be written.");
        return 0;
    }
    return 1;
}
