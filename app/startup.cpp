// Start-up: the panels are loaded, filled and placed in a fixed order, then the
// program settings file is read; and the panels are discarded in the reverse
// order when the program ends.
#include "app/print_text.h"
#include "app/shell.h"
#include "params/cond_ring_ui.h"
#include "settings/settings_file.h"
#include "settings/settings_path.h"
#include "support/path_time.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

char scope_para_file[UI_MAX_PATH];
shell_hooks shell = {};

namespace {

const char* const server_presets[] = {"192.168.0.10", "192.168.0.11"};

const int decoration_color = 0x0080FF;
const int idle_color = 0xE0E0E0;
const int selected_color = 0xC0C0C0;

// The condition rings of a channel panel, in the order of the list codes.
const int channel_rings[6] = {TAB2_RING_TIMERCOND, TAB2_RING_COUNTERCOND, TAB2_RING_OUTCOND,
                              TAB2_RING_EVALSTART, TAB2_RING_EVALSTOP,    TAB2_RING_EVALSPAN};
const int channel_codes_a[6] = {COND_CODE_EVENT, COND_CODE_EVENT_OUTPUTS, COND_CODE_OUTPUT_A,
                                COND_CODE_EVENT, COND_CODE_EVAL_STOP,     COND_CODE_SPAN};
const int channel_codes_b[6] = {COND_CODE_EVENT, COND_CODE_EVENT_OUTPUTS, COND_CODE_OUTPUT_B,
                                COND_CODE_EVENT, COND_CODE_EVAL_STOP,     COND_CODE_SPAN};

// Loads one panel; a failure ends start-up before anything is shown.
bool load(int* handle, int parent, int resource, const char* name) {
    *handle = LoadPanel(parent, "UserIF.uir", resource);
    if (*handle < 0) {
        *handle = 0;
        return false;
    }
    // tab3 shares tab2's layout, so its name must be set apart.
    SetPanelAttribute(*handle, ATTR_PANEL_NAME, name);
    return true;
}

void title(int panel, int ctrl, const char* text, int color) {
    SetCtrlVal(panel, ctrl, text);
    if (color >= 0) SetCtrlAttribute(panel, ctrl, ATTR_TEXT_COLOR, color);
}

void window_titles() {
    char text[128];
    snprintf(text, sizeof text, "%s - Main", pc_version_str);
    SetPanelAttribute(mpanel, ATTR_TITLE, text);
    snprintf(text, sizeof text, "%s - Oscillograph", pc_version_str);
    SetPanelAttribute(osci1, ATTR_TITLE, text);
}

void fill_connect_panel() {
    SetCtrlAttribute(tab1, TAB1_COMB_SELPORT, ATTR_TEXT_BGCOLOR, idle_color);
    SetCtrlAttribute(tab1, TAB1_COMB_SELPORT, ATTR_MAX_ENTRY_LENGTH, 8);
    ClearListCtrl(tab1, TAB1_COMB_SELPORT);
    InsertListItemString(tab1, TAB1_COMB_SELPORT, -1, "COM1", "COM1");
    InsertListItemString(tab1, TAB1_COMB_SELPORT, -1, "COM2", "COM2");
    SetCtrlVal(tab1, TAB1_COMB_SELPORT, "COM1");

    SetCtrlAttribute(tab1, TAB1_COMB_IPADDRESS, ATTR_TEXT_BGCOLOR, idle_color);
    SetCtrlAttribute(tab1, TAB1_COMB_IPADDRESS, ATTR_MAX_ENTRY_LENGTH, 63);
    ClearListCtrl(tab1, TAB1_COMB_IPADDRESS);
    for (const char* address : server_presets)
        InsertListItemString(tab1, TAB1_COMB_IPADDRESS, -1, address, address);
    SetCtrlVal(tab1, TAB1_COMB_IPADDRESS, server_presets[0]);

    SetCtrlAttribute(tab1, TAB1_PWDC_PASSWORD, ATTR_MASK_CHARACTER, '*');
    SetCtrlAttribute(tab1, TAB1_PWDC_PASSWORD, ATTR_MAX_ENTRY_LENGTH, 20);
    SetCtrlVal(tab1, TAB1_PWDC_PASSWORD, "");
    SetCtrlAttribute(tab1, TAB1_PWDC_PASSWORD, ATTR_VISIBLE, 0);
    SetCtrlAttribute(tab1, TAB1_TEXTMSG_PASSWORD, ATTR_VISIBLE, 0);
    // RS-232 is the default protocol.
    SetCtrlAttribute(tab1, TAB1_COMB_IPADDRESS, ATTR_VISIBLE, 0);
    SetCtrlAttribute(tab1, TAB1_COMB_SELPORT, ATTR_VISIBLE, 1);
}

void fill_channel_panel(int panel, const char* text, int color, const int* codes) {
    title(panel, TAB2_TEXT_TITLE, text, color);
    for (int i = 0; i < 6; i++) ui_fill_conditions(panel, channel_rings[i], codes[i]);
}

void fill_recorder_panel() {
    ui_fill_conditions(tab5, TAB5_RING_AUTOSEND, COND_CODE_EVENT_OUTPUTS);
    SetCtrlVal(tab5, TAB5_STRING_TIME, "");
    SetCtrlVal(tab5, TAB5_STRING_COUNT, "");
    SetCtrlVal(tab5, TAB5_BAR_TIME, 0.0);
    SetCtrlVal(tab5, TAB5_BAR_COUNT, 0.0);
    if (shell.set_rec_buttons) shell.set_rec_buttons(0);
}

void prepare_displays() {
    SetCtrlAttribute(graph1, GRAPH1_GRAPH_ANALOGA, ATTR_ENABLE_ZOOM_AND_PAN, 1);
    SetCtrlAttribute(graph1, GRAPH1_GRAPH_ANALOGB, ATTR_ENABLE_ZOOM_AND_PAN, 1);
    SetCtrlVal(osci1, OSCI1_NUM_VTOP, 100.0);
    SetCtrlVal(osci1, OSCI1_SLIDE_VERTICAL, 0.0);
    SetCtrlVal(osci1, OSCI1_NUM_HRIGHT, 100.0);
    SetCtrlVal(osci1, OSCI1_SLIDE_HORIZONTAL, 0.0);
    if (shell.configure_stc) shell.configure_stc();
    SetCtrlVal(graph1, GRAPH1_STRING_STATUS, pc_version_str);
}

struct placement {
    int* handle;
    int top, left;
};

void place_children() {
    const placement table[] = {
        {&tab1, 119, 8},  {&tab2, 119, 8},    {&tab3, 119, 8},    {&tab4, 119, 8},    {&tab5, 119, 8},
        {&tab6, 119, 8},  {&tab7, 119, 8},    {&tab8, 145, 8},    {&tab9, 119, 8},    {&tab10, 145, 8},
        {&tab11, 145, 8}, {&graph1, 63, 288}, {&graph2, 63, 288}, {&graph3, 63, 288},
    };
    for (const placement& p : table) SetPanelPos(*p.handle, p.top, p.left);
}

bool load_all() {
    if (!load(&mpanel, 0, MPANEL, "mpanel")) return false;
    if (!load(&osci1, 0, OSCI1, "osci1")) return false;
    window_titles();
    SetCtrlAttribute(mpanel, MPANEL_DECO_INFOFRAME, ATTR_VISIBLE, 1);
    SetCtrlAttribute(mpanel, MPANEL_DECO_INFOBACK, ATTR_BACKCOLOR, decoration_color);
    print_text(mpanel, &info_text_style);
    SetCtrlAttribute(osci1, OSCI1_DECO_INFOFRAME, ATTR_VISIBLE, 1);
    SetCtrlAttribute(osci1, OSCI1_DECO_INFOBACK, ATTR_BACKCOLOR, decoration_color);
    print_text(osci1, &info_text_style);
    if (shell.print_osci1_legend) shell.print_osci1_legend();

    if (!load(&tab1, mpanel, TAB1, "tab1")) return false;
    fill_connect_panel();
    if (!load(&tab2, mpanel, TAB2, "tab2")) return false;
    fill_channel_panel(tab2, "CHANNEL A", 0x0000FF, channel_codes_a);
    ClearListCtrl(tab2, TAB2_RING_CHAN);
    InsertListItemInt(tab2, TAB2_RING_CHAN, -1, "1", 0);
    if (!load(&tab3, mpanel, TAB2, "tab3")) return false;
    fill_channel_panel(tab3, "CHANNEL B", 0x006600, channel_codes_b);
    ClearListCtrl(tab3, TAB2_RING_CHAN);
    InsertListItemInt(tab3, TAB2_RING_CHAN, -1, "1", 1);
    InsertListItemInt(tab3, TAB2_RING_CHAN, -1, "2", 0);
    InsertListItemInt(tab3, TAB2_RING_CHAN, -1, "OFF", -1);
    SetCtrlIndex(tab3, TAB2_RING_CHAN, 1);
    if (!load(&tab4, mpanel, TAB4, "tab4")) return false;
    if (!load(&tab5, mpanel, TAB5, "tab5")) return false;
    fill_recorder_panel();
    if (!load(&tab6, mpanel, TAB6, "tab6")) return false;
    ui_fill_conditions(tab6, TAB6_RING_OSCICONDA, COND_CODE_EVENT_OUTPUTS);
    ui_fill_conditions(tab6, TAB6_RING_OSCICONDB, COND_CODE_EVENT_OUTPUTS);
    if (!load(&tab7, mpanel, TAB7, "tab7")) return false;
    title(tab7, TAB7_TEXT_TITLE, "GENERAL SETTINGS", 0x660000);
    ui_fill_conditions(tab7, TAB7_RING_NORMCOND, COND_CODE_NORM);
    if (!load(&tab8, mpanel, TAB8, "tab8")) return false;
    title(tab8, TAB8_TEXT_TITLE, "HIDDEN SETTINGS", -1);
    if (!load(&tab9, mpanel, TAB9, "tab9")) return false;
    title(tab9, TAB9_TEXT_TITLE, "LINEARISATION", -1);
    if (!load(&tab10, mpanel, TAB10, "tab10")) return false;
    title(tab10, TAB10_TEXT_TITLE, "HIDDEN SETTINGS", -1);
    if (!load(&tab11, mpanel, TAB11, "tab11")) return false;
    title(tab11, TAB11_TEXT_TITLE, "HIDDEN SETTINGS", -1);

    if (!load(&graph1, mpanel, GRAPH1, "graph1")) return false;
    prepare_displays();
    if (!load(&graph2, mpanel, GRAPH2, "graph2")) return false;
    if (!load(&graph3, mpanel, GRAPH3, "graph3")) return false;
    if (!load(&popup1, 0, POPUP1, "popup1")) return false;
    return true;
}

} // namespace

int shell_startup() {
    // What was loaded before a failure stays: the program ends at once.
    if (!load_all()) return -1;
    place_children();
    shell_link_setup();

    DisplayPanel(mpanel);
    SetCtrlAttribute(mpanel, MPANEL_CBTN_SEL_CONNECT, ATTR_CMD_BUTTON_COLOR, selected_color);
    DisplayPanel(tab1);
    DisplayPanel(graph1);
    SetCtrlAttribute(graph3, GRAPH3_TIMER_ANI, ATTR_ENABLED, 0);

    char dir[UI_MAX_PATH] = "";
    GetProjectDir(dir);
    settings_paths where;
    if (settings_locate(dir, settings_dir_writable(dir), getenv("XDG_CONFIG_HOME"), getenv("HOME"), &where) < 0)
        where.read[0] = 0;
    snprintf(scope_para_file, sizeof scope_para_file, "%s", where.write);
    if (where.read[0]) load_scope_para(where.read);
    return 0;
}

void shell_discard_panels() {
    int* const order[] = {&popup1, &graph3, &graph2, &graph1, &tab11, &tab10, &tab9,  &tab8,  &tab7,
                          &tab6,   &tab5,   &tab4,   &tab3,   &tab2,  &tab1,  &osci1, &mpanel};
    for (int* handle : order) {
        if (*handle > 0) DiscardPanel(*handle);
        *handle = 0;
    }
}
