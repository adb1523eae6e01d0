// An in-memory ring control behind the cond_ring functions, for tests.
#pragma once

#include "params/conditions.h"

#include <string>
#include <vector>

struct mem_ring {
    struct item {
        std::string label;
        std::string text;
        int value;
    };
    std::vector<item> items;
    int selected = -1;
    cond_ring ring{};

    mem_ring() {
        ring.ctx = this;
        ring.count = [](void* c) { return static_cast<int>(self(c)->items.size()); };
        ring.get_label = [](void* c, int i, std::string* out) {
            if (!self(c)->valid(i)) return -1;
            *out = self(c)->items[i].label;
            return 0;
        };
        ring.get_text = [](void* c, int i, std::string* out) {
            if (!self(c)->valid(i)) return -1;
            *out = self(c)->items[i].text;
            return 0;
        };
        ring.get_int = [](void* c, int i, int* out) {
            if (!self(c)->valid(i)) return -1;
            *out = self(c)->items[i].value;
            return 0;
        };
        ring.insert_text = [](void* c, int i, const char* l, const char* v) {
            return self(c)->insert(i, {l, v, 0});
        };
        ring.insert_int = [](void* c, int i, const char* l, int v) { return self(c)->insert(i, {l, "", v}); };
        ring.remove = [](void* c, int i) {
            mem_ring* r = self(c);
            if (!r->valid(i)) return -1;
            r->items.erase(r->items.begin() + i);
            if (r->selected > i)
                r->selected--;
            else if (r->selected == i)
                r->selected = -1;
            return 0;
        };
        ring.select = [](void* c, int i) {
            if (!self(c)->valid(i)) return -1;
            self(c)->selected = i;
            return 0;
        };
        ring.clear_text = [](void* c) {
            self(c)->items.clear();
            self(c)->selected = -1;
            return 0;
        };
    }
    mem_ring(const mem_ring&) = delete;
    mem_ring& operator=(const mem_ring&) = delete;

    static mem_ring* self(void* c) { return static_cast<mem_ring*>(c); }
    bool valid(int i) const { return i >= 0 && i < static_cast<int>(items.size()); }
    int insert(int i, item it) {
        if (i < 0 || i > static_cast<int>(items.size())) i = static_cast<int>(items.size());
        items.insert(items.begin() + i, it);
        if (selected >= i) selected++;
        return i;
    }
    int count_label(const std::string& l) const {
        int n = 0;
        for (const auto& it : items) n += it.label == l;
        return n;
    }
    std::string selected_label() const { return valid(selected) ? items[selected].label : std::string(); }
};
