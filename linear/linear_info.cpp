#include "linear/linear_info.h"

#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cstring>

int refresh_linear_info(int channel, const char* text) {
    if (!text) return 0;
    const int box = channel == 1 ? TAB9_TEXTBOX_DESCRB : TAB9_TEXTBOX_DESCRA;
    const int file = channel == 1 ? TAB9_STRING_FILEB : TAB9_STRING_FILEA;
    // The unit's block need not end in a zero; it never holds more than its size.
    char description[LINEAR_INFO_BYTES + 1];
    const size_t n = strnlen(text, LINEAR_INFO_BYTES);
    std::memcpy(description, text, n);
    description[n] = '\0';
    ResetTextBox(tab9, box, description);
    SetCtrlAttribute(tab9, box, ATTR_TEXT_BGCOLOR, UI_WHITE);
    SetCtrlVal(tab9, file, "<data from flash memory>");
    return 1;
}
