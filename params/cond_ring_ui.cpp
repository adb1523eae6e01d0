#include "params/cond_ring_ui.h"

#include "ui/ui.h"

namespace {

// Ring items are short (the longest value is a 71-character span text); a
// longer label or value is cut and then fails the exact comparisons.
constexpr int ITEM_TEXT = 256;

ui_ring* self(void* ctx) {
    return static_cast<ui_ring*>(ctx);
}

int count(void* ctx) {
    int n = 0;
    const int rc = GetNumListItems(self(ctx)->panel, self(ctx)->ctrl, &n);
    return rc < 0 ? rc : n;
}

int get_label(void* ctx, int index, std::string* label) {
    char buf[ITEM_TEXT];
    const int rc = GetLabelFromIndex(self(ctx)->panel, self(ctx)->ctrl, index, buf, sizeof buf);
    if (rc >= 0) *label = buf;
    return rc;
}

int get_text(void* ctx, int index, std::string* value) {
    char buf[ITEM_TEXT];
    const int rc = GetValueFromIndexString(self(ctx)->panel, self(ctx)->ctrl, index, buf, sizeof buf);
    if (rc >= 0) *value = buf;
    return rc;
}

int get_int(void* ctx, int index, int* value) {
    return GetValueFromIndexInt(self(ctx)->panel, self(ctx)->ctrl, index, value);
}

int insert_text(void* ctx, int index, const char* label, const char* value) {
    return InsertListItemString(self(ctx)->panel, self(ctx)->ctrl, index, label, value);
}

int insert_int(void* ctx, int index, const char* label, int value) {
    return InsertListItemInt(self(ctx)->panel, self(ctx)->ctrl, index, label, value);
}

int remove(void* ctx, int index) {
    return DeleteListItem(self(ctx)->panel, self(ctx)->ctrl, index, 1);
}

int select(void* ctx, int index) {
    return SetCtrlIndex(self(ctx)->panel, self(ctx)->ctrl, index);
}

// A layout ring starts with integer values; condition rings hold value texts.
int clear_text(void* ctx) {
    const int rc = ClearListCtrl(self(ctx)->panel, self(ctx)->ctrl);
    if (rc < 0) return rc;
    return SetCtrlAttribute(self(ctx)->panel, self(ctx)->ctrl, ATTR_DATA_TYPE, UI_STRING);
}

} // namespace

const cond_ring* ui_ring_bind(ui_ring* r, int panel, int ctrl) {
    r->panel = panel;
    r->ctrl = ctrl;
    r->ring = cond_ring{r,           count,      get_label, get_text, get_int,
                        insert_text, insert_int, remove,    select,   clear_text};
    return &r->ring;
}

int ui_fill_conditions(int panel, int ctrl, int list_code) {
    ui_ring r;
    return fill_conditions(ui_ring_bind(&r, panel, ctrl), list_code);
}
