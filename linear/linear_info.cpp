#include "linear/linear_info.h"

#include "linear/linear_curve.h"
#include "linear/linear_transfer.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cstdio>
#include <cstring>
#include <memory>

linear_state lins;

namespace {

int box_of(int channel) {
    return channel == 1 ? TAB9_TEXTBOX_DESCRB : TAB9_TEXTBOX_DESCRA;
}
int field_of(int channel) {
    return channel == 1 ? TAB9_STRING_FILEB : TAB9_STRING_FILEA;
}

// Label and text of one description line, as the box shows it.
void add_descr_line(int box, int k, const char* text) {
    char line[LINEAR_LINE + 16];
    std::snprintf(line, sizeof line, "%s%s", linfile_descr[k], text);
    InsertTextBoxLine(tab9, box, -1, line);
}

int show_defaults(int channel, int* x, int* y, int* npoints) {
    const int box = box_of(channel);
    ResetTextBox(tab9, box, "");
    for (int k = 0; k < LINEAR_DESCR_LINES; k++) add_descr_line(box, k, LINEAR_DEFAULT_DESCR);
    if (x && y) linear_default_points(x, y);
    if (npoints) *npoints = x && y ? LINEAR_POINTS : 0;
    SetCtrlAttribute(tab9, box, ATTR_TEXT_BGCOLOR, LINEAR_BOX_COLOR);
    SetCtrlVal(tab9, field_of(channel), "<default transfer curve>");
    return 1;
}

} // namespace

char* linear_file_of(int channel) {
    return channel == 1 ? lins.linear_fileB : lins.linear_fileA;
}

int update_linear_info(const char* path, int channel, int* x, int* y, int* npoints) {
    if (!path) return show_defaults(channel, x, y, npoints);
    const int box = box_of(channel);
    auto info = std::make_unique<linear_file_info>();
    const int rc = linear_file_read_info(path, info.get());
    if (rc == LINEAR_FILE_MISSING) return 0;
    if (rc != LINEAR_FILE_OK) {
        ResetTextBox(tab9, box, "Could not open specified file!");
        return 0;
    }
    char name[UI_MAX_PATH] = "";
    if (SplitPath(path, nullptr, nullptr, name) < 0) std::snprintf(name, sizeof name, "%s", path);
    SetCtrlVal(tab9, field_of(channel), name);
    SetCtrlAttribute(tab9, box, ATTR_TEXT_BGCOLOR, LINEAR_BOX_COLOR);
    ResetTextBox(tab9, box, "");
    for (int k = 0; k < info->ndescr; k++) add_descr_line(box, k, info->descr[k]);
    if (x && y) {
        std::memcpy(x, info->x, sizeof info->x);
        std::memcpy(y, info->y, sizeof info->y);
    }
    if (npoints) *npoints = x && y ? info->npoints : 0;
    return 1;
}

int refresh_linear_info(int channel, const char* text) {
    if (!text) return 0;
    const int box = box_of(channel);
    char description[LINEAR_DESCR_BYTES + 1];
    linear_descr_text(reinterpret_cast<const unsigned char*>(text), description);
    ResetTextBox(tab9, box, description);
    SetCtrlAttribute(tab9, box, ATTR_TEXT_BGCOLOR, UI_WHITE);
    SetCtrlVal(tab9, field_of(channel), "<data from flash memory>");
    return 1;
}
