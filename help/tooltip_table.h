// The tooltips that the HELP button of the main window switches on and off.
//
// One row per control: panel name, control name (as the layout names them;
// "tab3" is the channel B panel, loaded from the channel A layout) and text.
// Each text is a short description followed by " <RIGHT CLICK> for help!" or
// " \n<RIGHT CLICK> for help!" (a blank alone after descriptions of up to 36
// characters, a blank and a line feed after longer ones; descriptions of more
// than 50 characters are broken once, after a blank). Quoted whole are the
// rows that break this pattern: the transfer graph, whose text goes on after
// the invitation, and the two analog data screens, which describe their zoom
// gestures instead.
#pragma once

constexpr int TOOLTIP_ROWS = 151;
extern const char tooltip_suffix[]; // "<RIGHT CLICK> for help!"

struct tooltip_row {
    const char* panel;
    const char* control;
    const char* text;
};

extern const tooltip_row tooltip_rows[TOOLTIP_ROWS]; // in the order they are installed

// Rows of one panel; 0 for a panel without tooltips or a null name.
int tooltip_count(const char* panel);

// Sets one control's tooltip text; returns 0 or a negative code.
using tooltip_setter = int (*)(const char* panel, const char* control, const char* text, void* ctx);

// Walks the table in order and hands each row to `set`: its text when `on` is
// non-zero (installing the tooltips), else "" (removing them; the controls keep
// their tooltip records). A failing row does not stop the walk. Returns the
// number of rows set (TOOLTIP_ROWS when all succeeded), the first negative code
// of `set` when one failed, or -1 for a null setter.
int walk_tooltips(int on, tooltip_setter set, void* ctx);
