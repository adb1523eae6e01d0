#include "app/print_text.h"

#include "ui/ui.h"

const text_style info_text_style = {
    0x0080FF, 0xFFFFFF, 1, 6, 12, 12, "KORMELAN-3 support\nTel. +49 000 000000\nwww.example.com",
};

namespace {
// Three lines of the 12-point type need 57 pixels; the block ends on the
// coloured decoration's lower edge.
const int info_text_width = 264;
const int info_text_height = 57;
} // namespace

int print_text(int panel, const text_style* style) {
    if (!style || !style->text) return UI_ERR_ARG;
    int ctrl = NewCtrl(panel, UI_KIND_TEXT_MSG, style->text, style->top, style->left);
    if (ctrl < 0) return ctrl;
    SetCtrlAttribute(panel, ctrl, ATTR_TEXT_BGCOLOR, style->bg_color);
    SetCtrlAttribute(panel, ctrl, ATTR_TEXT_COLOR, style->text_color);
    SetCtrlAttribute(panel, ctrl, ATTR_TEXT_BOLD, style->bold);
    SetCtrlAttribute(panel, ctrl, ATTR_TEXT_POINT_SIZE, style->point_size);
    // A control made at run time is sized for the default font; the block
    // must fill the coloured decoration it sits on instead.
    SetCtrlAttribute(panel, ctrl, ATTR_WIDTH, info_text_width);
    SetCtrlAttribute(panel, ctrl, ATTR_HEIGHT, info_text_height);
    return ctrl;
}
