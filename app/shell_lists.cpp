#include "app/shell_lists.h"

#include "params/conditions.h"
#include "support/ui.h"

namespace {

struct ring_ref {
    int panel;
    int ctrl;
};

int count(void* ctx) {
    auto* r = static_cast<ring_ref*>(ctx);
    int n = 0;
    int rc = GetNumListItems(r->panel, r->ctrl, &n);
    return rc < 0 ? rc : n;
}

int get_label(void* ctx, int index, std::string* label) {
    auto* r = static_cast<ring_ref*>(ctx);
    char buf[256];
    int rc = GetLabelFromIndex(r->panel, r->ctrl, index, buf, sizeof buf);
    if (rc >= 0) *label = buf;
    return rc;
}

int get_text(void* ctx, int index, std::string* value) {
    auto* r = static_cast<ring_ref*>(ctx);
    char buf[256];
    int rc = GetValueFromIndexString(r->panel, r->ctrl, index, buf, sizeof buf);
    if (rc >= 0) *value = buf;
    return rc;
}

int get_int(void* ctx, int index, int* value) {
    auto* r = static_cast<ring_ref*>(ctx);
    return GetValueFromIndexInt(r->panel, r->ctrl, index, value);
}

int insert_text(void* ctx, int index, const char* label, const char* value) {
    auto* r = static_cast<ring_ref*>(ctx);
    return InsertListItemString(r->panel, r->ctrl, index, label, value);
}

int insert_int(void* ctx, int index, const char* label, int value) {
    auto* r = static_cast<ring_ref*>(ctx);
    return InsertListItemInt(r->panel, r->ctrl, index, label, value);
}

int remove(void* ctx, int index) {
    auto* r = static_cast<ring_ref*>(ctx);
    return DeleteListItem(r->panel, r->ctrl, index, 1);
}

int select(void* ctx, int index) {
    auto* r = static_cast<ring_ref*>(ctx);
    return SetCtrlIndex(r->panel, r->ctrl, index);
}

int clear_text(void* ctx) {
    auto* r = static_cast<ring_ref*>(ctx);
    int rc = ClearListCtrl(r->panel, r->ctrl);
    if (rc < 0) return rc;
    return SetCtrlAttribute(r->panel, r->ctrl, ATTR_DATA_TYPE, UI_STRING);
}

} // namespace

int shell_fill_conditions(int panel, int ctrl, int list_code) {
    ring_ref ref{panel, ctrl};
    cond_ring ring{&ref,        count,      get_label, get_text, get_int,
                   insert_text, insert_int, remove,    select,   clear_text};
    return fill_conditions(&ring, list_code);
}
