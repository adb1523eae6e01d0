#include "app/script_ctrl.h"

#include "ui/ui.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

namespace {

std::string int_text(int v) {
    return std::to_string(v);
}

std::string double_text(double v) {
    char buf[64];
    snprintf(buf, sizeof buf, "%.10g", v);
    return buf;
}

std::string colour_text(int rgb) {
    if (rgb & UI_TRANSPARENT) return "transparent";
    char buf[32];
    snprintf(buf, sizeof buf, "%d,%d,%d", (rgb >> 16) & 255, (rgb >> 8) & 255, rgb & 255);
    return buf;
}

bool is_button(int kind) {
    return kind == UI_KIND_COMMAND_BUTTON || kind == UI_KIND_TOGGLE_BUTTON;
}

std::string item_value_text(int panel, int ctrl, int index) {
    int type = UI_INTEGER;
    GetCtrlAttribute(panel, ctrl, ATTR_DATA_TYPE, &type);
    if (type == UI_STRING) {
        char buf[512] = "";
        GetValueFromIndexString(panel, ctrl, index, buf, sizeof buf);
        return buf;
    }
    if (type == UI_DOUBLE) {
        double d = 0.0;
        GetValueFromIndexDouble(panel, ctrl, index, &d);
        return double_text(d);
    }
    int v = 0;
    GetValueFromIndexInt(panel, ctrl, index, &v);
    return int_text(v);
}

int value_text(int panel, int ctrl, std::string* text) {
    int kind = GetCtrlKind(panel, ctrl);
    char buf[4096] = "";
    switch (kind) {
    case UI_KIND_RING:
    case UI_KIND_LIST_BOX: {
        int index = -1;
        if (GetCtrlIndex(panel, ctrl, &index) < 0 || index < 0) {
            *text = "";
            return 0;
        }
        GetLabelFromIndex(panel, ctrl, index, buf, sizeof buf);
        *text = std::string(buf) + " (" + item_value_text(panel, ctrl, index) + ")";
        return 0;
    }
    case UI_KIND_GRAPH: {
        int n = 0;
        GetCtrlAttribute(panel, ctrl, ATTR_NUM_PLOTS, &n);
        *text = int_text(n);
        return 0;
    }
    case UI_KIND_STRIP_CHART: {
        *text = int_text(GetStripChartPoints(panel, ctrl, 1, nullptr, 0));
        return 0;
    }
    case UI_KIND_TABLE: {
        int rows = 0, cols = 0;
        GetCtrlAttribute(panel, ctrl, ATTR_NUM_ROWS, &rows);
        GetCtrlAttribute(panel, ctrl, ATTR_NUM_COLUMNS, &cols);
        *text = int_text(rows) + "x" + int_text(cols);
        return 0;
    }
    case UI_KIND_NUMERIC:
    case UI_KIND_SLIDER:
    case UI_KIND_PROGRESS: {
        double d = 0.0;
        int rc = GetCtrlValDouble(panel, ctrl, &d);
        if (rc < 0) return rc;
        *text = double_text(d);
        return 0;
    }
    case UI_KIND_SWITCH:
    case UI_KIND_TOGGLE_BUTTON:
    case UI_KIND_LED: {
        int v = 0;
        int rc = GetCtrlValInt(panel, ctrl, &v);
        if (rc < 0) return rc;
        *text = int_text(v);
        return 0;
    }
    case UI_KIND_COMBO_TEXT:
    case UI_KIND_STRING:
    case UI_KIND_TEXT_BOX:
    case UI_KIND_TEXT_MSG:
        if (GetCtrlValString(panel, ctrl, buf, sizeof buf) < 0 &&
            GetCtrlAttribute(panel, ctrl, ATTR_TEXT, buf, sizeof buf) < 0)
            return UI_ERR_TYPE;
        *text = buf;
        return 0;
    default:
        // Buttons, decorations, canvases: what a person sees is the label.
        GetCtrlAttribute(panel, ctrl, ATTR_LABEL_TEXT, buf, sizeof buf);
        *text = buf;
        return 0;
    }
}

int colour_of(int panel, int ctrl, int* rgb) {
    int kind = GetCtrlKind(panel, ctrl);
    if (is_button(kind)) return GetCtrlAttribute(panel, ctrl, ATTR_CMD_BUTTON_COLOR, rgb);
    if (kind == UI_KIND_LED) return GetCtrlAttribute(panel, ctrl, ATTR_ON_COLOR, rgb);
    if (kind == UI_KIND_DECORATION || kind == UI_KIND_GRAPH || kind == UI_KIND_STRIP_CHART ||
        kind == UI_KIND_CANVAS)
        return GetCtrlAttribute(panel, ctrl, ATTR_BACKCOLOR, rgb);
    return GetCtrlAttribute(panel, ctrl, ATTR_TEXT_COLOR, rgb);
}

bool parse_bool(const std::string& s, int* on) {
    const char* t = s.c_str();
    if (!strcasecmp(t, "1") || !strcasecmp(t, "on") || !strcasecmp(t, "true") || !strcasecmp(t, "yes")) {
        *on = 1;
        return true;
    }
    if (!strcasecmp(t, "0") || !strcasecmp(t, "off") || !strcasecmp(t, "false") || !strcasecmp(t, "no")) {
        *on = 0;
        return true;
    }
    return false;
}

bool parse_number(const std::string& s, double* d) {
    char* end = nullptr;
    *d = strtod(s.c_str(), &end);
    return !s.empty() && end && *end == 0;
}

int set_on_off(int panel, int ctrl, int on) {
    int on_value = 1, off_value = 0;
    GetCtrlAttribute(panel, ctrl, ATTR_ON_VALUE, &on_value);
    GetCtrlAttribute(panel, ctrl, ATTR_OFF_VALUE, &off_value);
    return SetCtrlValInt(panel, ctrl, on ? on_value : off_value);
}

// A ring item is picked by its label, or else by its value as text.
int pick_item(int panel, int ctrl, const std::string& value, std::string* error) {
    int n = 0;
    GetNumListItems(panel, ctrl, &n);
    for (int pass = 0; pass < 2; pass++) {
        for (int i = 0; i < n; i++) {
            char label[512] = "";
            GetLabelFromIndex(panel, ctrl, i, label, sizeof label);
            std::string have = pass == 0 ? std::string(label) : item_value_text(panel, ctrl, i);
            if (have == value) return SetCtrlIndex(panel, ctrl, i);
        }
    }
    *error = "no item '" + value + "' in the list";
    return UI_ERR_NOT_FOUND;
}

} // namespace

int script_panel(const std::string& name) {
    return GetPanelHandleByName(name.c_str());
}

int script_ctrl(int panel, const std::string& name) {
    return GetCtrlIdByName(panel, name.c_str());
}

int script_ctrl_text(int panel, int ctrl, const std::string& what, std::string* text) {
    char buf[4096] = "";
    int v = 0, rc = 0;
    if (what == "value") return value_text(panel, ctrl, text);
    if (what == "text" || what == "label") {
        rc = GetCtrlAttribute(panel, ctrl, what == "text" ? ATTR_TEXT : ATTR_LABEL_TEXT, buf, sizeof buf);
        if (rc < 0) return rc;
        *text = buf;
        return 0;
    }
    if (what == "dimmed" || what == "visible") {
        rc = GetCtrlAttribute(panel, ctrl, what == "dimmed" ? ATTR_DIMMED : ATTR_VISIBLE, &v);
        if (rc < 0) return rc;
        *text = int_text(v);
        return 0;
    }
    if (what == "colour" || what == "color") {
        rc = colour_of(panel, ctrl, &v);
        if (rc < 0) return rc;
        *text = colour_text(v);
        return 0;
    }
    return UI_ERR_ARG;
}

int script_panel_text(int panel, const std::string& what, std::string* text) {
    if (what == "title") {
        char buf[512] = "";
        int rc = GetPanelAttribute(panel, ATTR_TITLE, buf, sizeof buf);
        if (rc < 0) return rc;
        *text = buf;
        return 0;
    }
    if (what == "visible") {
        int v = 0;
        int rc = GetPanelAttribute(panel, ATTR_VISIBLE, &v);
        if (rc < 0) return rc;
        *text = int_text(v);
        return 0;
    }
    return UI_ERR_ARG;
}

int script_set_value(int panel, int ctrl, const std::string& value, std::string* error) {
    int kind = GetCtrlKind(panel, ctrl);
    double d = 0.0;
    int on = 0, rc = 0;
    switch (kind) {
    case UI_KIND_RING:
    case UI_KIND_LIST_BOX:
        return pick_item(panel, ctrl, value, error);
    case UI_KIND_NUMERIC:
    case UI_KIND_SLIDER:
        if (!parse_number(value, &d)) {
            *error = "'" + value + "' is not a number";
            return UI_ERR_TYPE;
        }
        rc = SetCtrlValDouble(panel, ctrl, d);
        break;
    case UI_KIND_SWITCH:
    case UI_KIND_TOGGLE_BUTTON:
        if (!parse_bool(value, &on)) {
            *error = "'" + value + "' is not on or off";
            return UI_ERR_TYPE;
        }
        rc = set_on_off(panel, ctrl, on);
        break;
    case UI_KIND_TEXT_BOX:
        rc = ResetTextBox(panel, ctrl, value.c_str());
        break;
    case UI_KIND_COMBO_TEXT:
    case UI_KIND_STRING:
        rc = SetCtrlValString(panel, ctrl, value.c_str());
        break;
    default:
        *error = std::string("a ") + script_kind_name(kind) + " takes no value";
        return UI_ERR_TYPE;
    }
    if (rc < 0) *error = UiErrorText(rc);
    return rc;
}

int script_flip(int panel, int ctrl) {
    int kind = GetCtrlKind(panel, ctrl);
    if (kind != UI_KIND_SWITCH && kind != UI_KIND_TOGGLE_BUTTON) return 0;
    int v = 0, on_value = 1;
    GetCtrlValInt(panel, ctrl, &v);
    GetCtrlAttribute(panel, ctrl, ATTR_ON_VALUE, &on_value);
    return set_on_off(panel, ctrl, v == on_value ? 0 : 1);
}

int script_key(const std::string& name) {
    struct named {
        const char* name;
        int key;
    };
    static const named keys[] = {
        {"Enter", UI_KEY_ENTER},
        {"Return", UI_KEY_RETURN},
        {"Esc", UI_KEY_ESC},
        {"Tab", UI_KEY_TAB},
        {"Backspace", UI_KEY_BACKSPACE},
        {"Delete", UI_KEY_DELETE},
        {"Home", UI_KEY_HOME},
        {"End", UI_KEY_END},
        {"Left", UI_KEY_LEFT},
        {"Up", UI_KEY_UP},
        {"Right", UI_KEY_RIGHT},
        {"Down", UI_KEY_DOWN},
        {"F1", UI_KEY_F1},
        {"Space", ' '},
    };
    for (const named& k : keys)
        if (!strcasecmp(name.c_str(), k.name)) return k.key;
    if (name.size() == 1 && static_cast<unsigned char>(name[0]) > ' ')
        return static_cast<unsigned char>(name[0]);
    return 0;
}

const char* script_kind_name(int kind) {
    static const char* const names[] = {
        "control", "command-button", "toggle-button", "numeric", "ring",   "combo",
        "string",  "text-box",       "text",          "switch",  "slider", "bar",
        "table",   "list-box",       "decoration",    "led",     "graph",  "strip-chart",
        "canvas",  "timer",
    };
    if (kind < 0 || kind >= static_cast<int>(sizeof names / sizeof names[0])) return "control";
    return names[kind];
}
