// What the script language does to one control: finding it by name, reading
// it as text, and setting it as a user would.
#pragma once

#include <string>

// Panel handle by name ("mpanel", "tab1" ...), or negative.
int script_panel(const std::string& name);
// Control id on a panel by its object name ("CBTN_RUN"), or negative.
int script_ctrl(int panel, const std::string& name);

// The control as `print` shows it: `what` is value, text, label, dimmed,
// visible or colour. Returns 0, or negative with the reason in *text.
int script_ctrl_text(int panel, int ctrl, const std::string& what, std::string* text);
// A panel: title or visible.
int script_panel_text(int panel, const std::string& what, std::string* text);

// Puts a value into the control as typed or picked (no events). Returns 0, or
// negative with the reason in *error.
int script_set_value(int panel, int ctrl, const std::string& value, std::string* error);
// A click's change of a toggle button or switch (no events); 0 when the
// control is neither.
int script_flip(int panel, int ctrl);

// Key code of a key name ("Enter", "Esc", "F1", a single character), or 0.
int script_key(const std::string& name);
// Name of a control kind for `list`.
const char* script_kind_name(int kind);
