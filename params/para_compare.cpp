// Field-by-field comparison of two parameter sets (see para_compare.h).
#include "params/para_compare.h"

#include "params/para_file.h"

#include <memory>

const char PARA_NOT_DEFINED[] = "(not in file)";

namespace {

using store_ptr = std::unique_ptr<IniStore, void (*)(IniText)>;

store_ptr written(const para_record* rec, int* rc) {
    store_ptr s(Ini_New(0), Ini_Dispose);
    *rc = s ? parameter_save2store(s.get(), rec, nullptr, nullptr) : INI_ERR_NO_MEMORY;
    return s;
}

std::string value_of(IniText store, const char* section, const char* key) {
    const char* text = nullptr;
    return Ini_GetPointerToString(store, section, key, &text) > 0 && text ? std::string(text) : std::string();
}

bool defines(const para_side& side, const char* section, const char* key) {
    return !side.file || parameter_store_defines(side.file, section, key);
}

} // namespace

int para_compare(const para_side& left, const para_side& right, std::vector<para_difference>* out) {
    if (!left.rec || !right.rec || !out) return INI_ERR_NULL_ARG;
    int rc = 0;
    const store_ptr l = written(left.rec, &rc);
    if (rc < 0) return rc;
    const store_ptr r = written(right.rec, &rc);
    if (rc < 0) return rc;

    // Against a unit a field the file leaves out is no difference; between two
    // files it is one.
    const bool both_files = left.file && right.file;
    int found = 0;
    const int nsections = Ini_NumberOfSections(l.get());
    for (int i = 1; i <= nsections; i++) {
        const char* section = nullptr;
        Ini_NthSectionName(l.get(), i, &section);
        const std::string name = section;
        const int nitems = Ini_NumberOfItems(l.get(), name.c_str());
        for (int k = 1; k <= nitems; k++) {
            const char* tag = nullptr;
            Ini_NthItemName(l.get(), name.c_str(), k, &tag);
            const std::string key = tag;
            if (!parameter_is_value_key(name.c_str(), key.c_str())) continue;
            const bool in_left = defines(left, name.c_str(), key.c_str());
            const bool in_right = defines(right, name.c_str(), key.c_str());
            if (!(in_left && in_right) && !(both_files && (in_left || in_right))) continue;
            para_difference d{name, key,
                              in_left ? value_of(l.get(), name.c_str(), key.c_str()) : PARA_NOT_DEFINED,
                              in_right ? value_of(r.get(), name.c_str(), key.c_str()) : PARA_NOT_DEFINED};
            if (d.left == d.right) continue;
            out->push_back(std::move(d));
            found++;
        }
    }
    return found;
}
