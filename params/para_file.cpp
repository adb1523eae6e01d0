// Parameter files: the section table and the loops that walk it.
#include "params/para_file.h"

#include "params/conditions.h"

#include <cstdio>
#include <cstring>

void (*para_file_progress)(int* step) = nullptr;

namespace {

enum section_type {
    SEC_LIMITED,  // "Value", "Max. value", "Min. value"
    SEC_VALUE,    // "Value" only
    SEC_BOOL,     // one bool under its own key
    SEC_TIMER,    // as SEC_LIMITED, plus the "Option" legend
    SEC_EVALMODE, // "Value", then the evaluation-mode legend
    SEC_SCANRATE, // as SEC_LIMITED, in microseconds (field / 60)
    SEC_COND,     // condition bits of `kind`
    SEC_IIR,      // the 18 filter values
    SEC_ANAOUT,   // "Gain", "Shift", "Offset"
};

struct para_section {
    const char* name;
    int type;
    uint16_t offset;
    uint8_t size;    // of the field for value types
    const char* key; // SEC_BOOL only
    int kind;        // SEC_COND only
};

#define FIELD(f) static_cast<uint16_t>(offsetof(para_record, f)), sizeof(para_record::f)
#define ELEM(f) static_cast<uint16_t>(offsetof(para_record, f)), 0
#define LIMITED(name, f)                                                                                     \
    { name, SEC_LIMITED, FIELD(f), nullptr, 0 }
#define VALUE(name, f)                                                                                       \
    { name, SEC_VALUE, FIELD(f), nullptr, 0 }
#define BOOL(name, key, f)                                                                                   \
    { name, SEC_BOOL, FIELD(f), key, 0 }
#define COND(name, kind, f)                                                                                  \
    { name, SEC_COND, ELEM(f), nullptr, kind }
#define TEACH(name, f)                                                                                       \
    { name, SEC_LIMITED, static_cast<uint16_t>(offsetof(para_record, f)), 4, nullptr, 0 }
#define HOLD(name, f)                                                                                        \
    { name, SEC_LIMITED, static_cast<uint16_t>(offsetof(para_record, f)), 2, nullptr, 0 }

// The order is the file's: readers compare files by eye, section by section.
const para_section sections[] = {
    LIMITED("ChanA Power", powerA),
    LIMITED("ChanA Trigger 1", trigger1A),
    LIMITED("ChanA Trigger 1 hysteresis", trigger1_hystA),
    LIMITED("ChanA Trigger 2", trigger2A),
    LIMITED("ChanA Trigger 2 hysteresis", trigger2_hystA),
    {"ChanA Timer", SEC_TIMER, FIELD(timerA), nullptr, 0},
    COND("ChanA Timer condition", COND_KIND_EVENT, timer_condA),
    BOOL("ChanA Timer Mode", "Run Timer without retriggering", timer_modeA),
    COND("ChanA Counter condition", COND_KIND_EVENT_OUTPUTS, counter_condA),
    BOOL("ChanA Normalisation", "Value", normA),
    COND("Output 0 condition", COND_KIND_COMBINED_RES, out_cond[0]),
    HOLD("Output 0 min. ON holdtime", out_hold[0].on),
    HOLD("Output 0 min. OFF holdtime", out_hold[0].off),
    COND("ChanA Eval begin./Reset condition", COND_KIND_EVENT, eval_beginA),
    COND("ChanA Evaluation condition", COND_KIND_COMBINED, eval_condA),
    {"ChanA Evaluation mode", SEC_EVALMODE, FIELD(eval_modeA), nullptr, 0},
    LIMITED("ChanA Evaluation setting select", eval_selectA),
    VALUE("ChanA Evaluation setting switch", eval_switchA),
    TEACH("ChanA Reference 0", teachA[0].reference),
    TEACH("ChanA Low tolerance 0", teachA[0].tol_low),
    TEACH("ChanA High tolerance 0", teachA[0].tol_high),
    TEACH("ChanA Reference 1", teachA[1].reference),
    TEACH("ChanA Low tolerance 1", teachA[1].tol_low),
    TEACH("ChanA High tolerance 1", teachA[1].tol_high),
    TEACH("ChanA Reference 2", teachA[2].reference),
    TEACH("ChanA Low tolerance 2", teachA[2].tol_low),
    TEACH("ChanA High tolerance 2", teachA[2].tol_high),
    TEACH("ChanA Reference 3", teachA[3].reference),
    TEACH("ChanA Low tolerance 3", teachA[3].tol_low),
    TEACH("ChanA High tolerance 3", teachA[3].tol_high),
    VALUE("ChanA averaging", averagingA),
    BOOL("ChanA linearisation", "Value", linearisationA),
    COND("ChanA Oscillograph record cond.", COND_KIND_EVENT_OUTPUTS, osci_condA),
    LIMITED("ChanA Oscillograph skip count", osci_skipA),
    LIMITED("ChanA Oscillograph pretrigger", osci_pretrigA),
    {"ChanA IIR Filter", SEC_IIR, ELEM(iirA), nullptr, 0},
    LIMITED("ChanA External teach mode", ext_teachA),
    LIMITED("ChanA Dirt accumulation upper level", dirt_levelA),
    LIMITED("ChanA Dirt accumulation timeout", dirt_timeoutA),
    LIMITED("ChanA Include prev. samples at reset", prev_samplesA),
    BOOL("ChanA Derivation", "Use derivation value instead of value", derivationA),
    LIMITED("ChanA Counter effect on ChanB Counter", counter_effectA),
    LIMITED("ChanB Input source", input_sourceB),
    LIMITED("ChanB Power", powerB),
    LIMITED("ChanB Trigger 1", trigger1B),
    LIMITED("ChanB Trigger 1 hysteresis", trigger1_hystB),
    LIMITED("ChanB Trigger 2", trigger2B),
    LIMITED("ChanB Trigger 2 hysteresis", trigger2_hystB),
    {"ChanB Timer", SEC_TIMER, FIELD(timerB), nullptr, 0},
    COND("ChanB Timer condition", COND_KIND_EVENT, timer_condB),
    BOOL("ChanB Timer Mode", "Run Timer without retriggering", timer_modeB),
    COND("ChanB Counter condition", COND_KIND_EVENT_OUTPUTS, counter_condB),
    BOOL("ChanB Normalisation", "Value", normB),
    COND("Output 1 condition", COND_KIND_COMBINED_RES, out_cond[1]),
    HOLD("Output 1 min. ON holdtime", out_hold[1].on),
    HOLD("Output 1 min. OFF holdtime", out_hold[1].off),
    COND("ChanB Eval begin./Reset condition", COND_KIND_EVENT, eval_beginB),
    COND("ChanB Evaluation condition", COND_KIND_COMBINED, eval_condB),
    {"ChanB Evaluation mode", SEC_EVALMODE, FIELD(eval_modeB), nullptr, 0},
    LIMITED("ChanB Evaluation setting select", eval_selectB),
    VALUE("ChanB Evaluation setting switch", eval_switchB),
    TEACH("ChanB Reference 0", teachB[0].reference),
    TEACH("ChanB Low tolerance 0", teachB[0].tol_low),
    TEACH("ChanB High tolerance 0", teachB[0].tol_high),
    TEACH("ChanB Reference 1", teachB[1].reference),
    TEACH("ChanB Low tolerance 1", teachB[1].tol_low),
    TEACH("ChanB High tolerance 1", teachB[1].tol_high),
    TEACH("ChanB Reference 2", teachB[2].reference),
    TEACH("ChanB Low tolerance 2", teachB[2].tol_low),
    TEACH("ChanB High tolerance 2", teachB[2].tol_high),
    TEACH("ChanB Reference 3", teachB[3].reference),
    TEACH("ChanB Low tolerance 3", teachB[3].tol_low),
    TEACH("ChanB High tolerance 3", teachB[3].tol_high),
    VALUE("ChanB averaging", averagingB),
    BOOL("ChanB linearisation", "Value", linearisationB),
    COND("ChanB Oscillograph record cond.", COND_KIND_EVENT_OUTPUTS, osci_condB),
    LIMITED("ChanB Oscillograph skip count", osci_skipB),
    LIMITED("ChanB Oscillograph pretrigger", osci_pretrigB),
    {"ChanB IIR Filter", SEC_IIR, ELEM(iirB), nullptr, 0},
    LIMITED("ChanB External teach mode", ext_teachB),
    LIMITED("ChanB Dirt accumulation upper level", dirt_levelB),
    LIMITED("ChanB Dirt accumulation timeout", dirt_timeoutB),
    LIMITED("ChanB Include prev. samples at reset", prev_samplesB),
    BOOL("ChanB Derivation", "Use derivation value instead of value", derivationB),
    LIMITED("ChanB Counter effect on ChanA Counter", counter_effectB),
    // The micro sign is the single Windows-1252 byte, as files in the field have it.
    {"Scanrate (\xB5s)", SEC_SCANRATE, FIELD(scanrate), nullptr, 0},
    LIMITED("Normalisation timebase (s)", norm_timebase),
    COND("Normalisation condition", COND_KIND_COMBINED, norm_cond),
    LIMITED("Analog output source", anaout_source),
    VALUE("Analog output switch", anaout_switch),
    {"Analog output scaling 0", SEC_ANAOUT, ELEM(anaout_scale[0]), nullptr, 0},
    {"Analog output scaling 1", SEC_ANAOUT, ELEM(anaout_scale[1]), nullptr, 0},
    {"Analog output scaling 2", SEC_ANAOUT, ELEM(anaout_scale[2]), nullptr, 0},
    {"Analog output scaling 3", SEC_ANAOUT, ELEM(anaout_scale[3]), nullptr, 0},
    COND("Autosend condition", COND_KIND_EVENT_OUTPUTS, autosend_cond),
    BOOL("Dirt accumulation output", "Value", dirt_output),
    COND("Output 2 condition", COND_KIND_COMBINED_RES, out_cond[2]),
    HOLD("Output 2 min. ON holdtime", out_hold[2].on),
    HOLD("Output 2 min. OFF holdtime", out_hold[2].off),
    LIMITED("Usage of Potentiometer", poti_usage),
};
static_assert(sizeof(sections) / sizeof(sections[0]) == PARA_FILE_SECTIONS);

#undef FIELD
#undef ELEM
#undef LIMITED
#undef VALUE
#undef BOOL
#undef COND
#undef TEACH
#undef HOLD

const char TIMER_OPTION[] = "0: timer deactivated, x: timer activated";
const char COMBINE_KEY[] = "Combine conditions by:";

// One register's bits as they appear in a condition section.
struct bit_run {
    int is_state; // state word or event word
    int reg;
    int bits;
};

// Key order of the condition sections by kind; a zero-bit run ends the list.
const bit_run runs_event[] = {{0, 0, 8}, {0, 1, 8}, {0, 0, 0}};
const bit_run runs_event_outputs[] = {{0, 0, 14}, {0, 1, 8}, {0, 0, 0}};
const bit_run runs_combined[] = {{1, 0, 8}, {1, 1, 8}, {0, 0, 8}, {0, 1, 8}, {0, 0, 0}};
const bit_run runs_combined_res[] = {{1, 0, 8},  {1, 1, 8},  {0, 0, 8}, {0, 1, 8},
                                     {1, 2, 10}, {0, 2, 10}, {0, 0, 0}};

const bit_run* runs_of(int kind) {
    switch (kind) {
    case COND_KIND_EVENT:
        return runs_event;
    case COND_KIND_EVENT_OUTPUTS:
        return runs_event_outputs;
    case COND_KIND_COMBINED:
        return runs_combined;
    case COND_KIND_COMBINED_RES:
        return runs_combined_res;
    default:
        return nullptr;
    }
}

const char* bit_name(const bit_run& r, int bit) {
    static const char(*const stat[3])[COND_BITSTR_LEN] = {reg0_bitstr_stat, reg1_bitstr_stat,
                                                          reg2_bitstr_stat};
    static const char(*const evnt[3])[COND_BITSTR_LEN] = {reg0_bitstr_evnt, reg1_bitstr_evnt,
                                                          reg2_bitstr_evnt};
    return r.is_state ? stat[r.reg][bit] : evnt[r.reg][bit];
}

// The mask word a run reads or writes; event conditions have event words only.
const uint16_t* run_word(const void* cond, int kind, const bit_run& r) {
    if (kind == COND_KIND_EVENT || kind == COND_KIND_EVENT_OUTPUTS)
        return &static_cast<const event_cond*>(cond)->evnt[r.reg];
    const auto* c = static_cast<const combined_cond*>(cond);
    return r.is_state ? &c->stat[r.reg] : &c->evnt[r.reg];
}

uint16_t* run_word(void* cond, int kind, const bit_run& r) {
    return const_cast<uint16_t*>(run_word(static_cast<const void*>(cond), kind, r));
}

int32_t get_at(const para_record* rec, int offset, int size) {
    const auto* p = reinterpret_cast<const unsigned char*>(rec) + offset;
    if (size == 4) {
        int32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    int16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

void set_at(para_record* rec, int offset, int size, int32_t value) {
    auto* p = reinterpret_cast<unsigned char*>(rec) + offset;
    if (size == 4) {
        std::memcpy(p, &value, 4);
    } else {
        const auto v = static_cast<int16_t>(static_cast<uint16_t>(value)); // low 16 bits
        std::memcpy(p, &v, 2);
    }
}

// Chains store calls and keeps the first failure.
struct putter {
    IniText store;
    const char* section;
    int rc = 0;
    void put_int(const char* tag, long v) {
        if (rc >= 0) rc = Ini_PutInt(store, section, tag, v);
    }
    void put_bool(const char* tag, int v) {
        if (rc >= 0) rc = Ini_PutBoolean(store, section, tag, v);
    }
    void put_string(const char* tag, const char* v) {
        if (rc >= 0) rc = Ini_PutString(store, section, tag, v);
    }
};

void get_int(IniText store, const char* section, const char* tag, para_record* rec, int offset, int size,
             int scale) {
    int v;
    if (Ini_GetInt(store, section, tag, &v) > 0)
        set_at(rec, offset, size,
               static_cast<int32_t>(static_cast<uint32_t>(v) * static_cast<uint32_t>(scale)));
}

void get_bool(IniText store, const char* section, const char* tag, void* field) {
    int v;
    if (Ini_GetBoolean(store, section, tag, &v) > 0) {
        const int16_t f = static_cast<int16_t>(v);
        std::memcpy(field, &f, 2);
    }
}

void put_iir(putter& p, const iir_block* iir) {
    char key[40];
    p.put_int("Initial gain", iir->gain);
    for (int s = 0; s < 3; s++) {
        // The file lists a1 before a2; the record holds a2 first.
        const int16_t v[5] = {iir->stage[s].a1, iir->stage[s].a2, iir->stage[s].b0, iir->stage[s].b1,
                              iir->stage[s].b2};
        const char* names[5] = {"a1", "a2", "b0", "b1", "b2"};
        for (int k = 0; k < 5; k++) {
            std::snprintf(key, sizeof key, "Stage %d: coeff. %s", s, names[k]);
            p.put_int(key, v[k]);
        }
    }
    p.put_int("Final shift value", iir->shift);
    p.put_bool("Use filtered value instead of value", iir->use_filtered);
}

void get_iir(IniText store, const char* section, para_record* rec, int base) {
    char key[40];
    const int gain = base + static_cast<int>(offsetof(iir_block, gain));
    get_int(store, section, "Initial gain", rec, gain, 2, 1);
    const char* names[5] = {"a1", "a2", "b0", "b1", "b2"};
    const int offs[5] = {offsetof(iir_stage, a1), offsetof(iir_stage, a2), offsetof(iir_stage, b0),
                         offsetof(iir_stage, b1), offsetof(iir_stage, b2)};
    for (int s = 0; s < 3; s++) {
        const int stage = base + static_cast<int>(offsetof(iir_block, stage) + s * sizeof(iir_stage));
        for (int k = 0; k < 5; k++) {
            std::snprintf(key, sizeof key, "Stage %d: coeff. %s", s, names[k]);
            get_int(store, section, key, rec, stage + offs[k], 2, 1);
        }
    }
    get_int(store, section, "Final shift value", rec, base + static_cast<int>(offsetof(iir_block, shift)), 2,
            1);
    get_bool(store, section, "Use filtered value instead of value",
             reinterpret_cast<unsigned char*>(rec) + base + offsetof(iir_block, use_filtered));
}

int save_section(IniText store, const para_section& s, const para_record* rec, const para_record* max,
                 const para_record* min) {
    putter p{store, s.name};
    const unsigned char* field = reinterpret_cast<const unsigned char*>(rec) + s.offset;
    switch (s.type) {
    case SEC_LIMITED:
    case SEC_TIMER:
    case SEC_SCANRATE: {
        // Microseconds for the reader; C++ division truncates toward zero.
        const int div = s.type == SEC_SCANRATE ? 60 : 1;
        p.put_int("Value", get_at(rec, s.offset, s.size) / div);
        if (max) p.put_int("Max. value", get_at(max, s.offset, s.size) / div);
        if (min) p.put_int("Min. value", get_at(min, s.offset, s.size) / div);
        if (s.type == SEC_TIMER) p.put_string("Option", TIMER_OPTION);
        break;
    }
    case SEC_VALUE:
        p.put_int("Value", get_at(rec, s.offset, s.size));
        break;
    case SEC_EVALMODE:
        p.put_int("Value", get_at(rec, s.offset, s.size));
        if (p.rc >= 0) p.rc = enlist_evalmode_to_inifile(store, s.name);
        break;
    case SEC_BOOL:
        p.put_bool(s.key, get_at(rec, s.offset, s.size));
        break;
    case SEC_COND:
        p.rc = cond2inifile(field, s.kind, store, s.name);
        break;
    case SEC_IIR: {
        iir_block iir;
        std::memcpy(&iir, field, sizeof iir);
        put_iir(p, &iir);
        break;
    }
    case SEC_ANAOUT: {
        anaout_scaling a;
        std::memcpy(&a, field, sizeof a);
        p.put_int("Gain", a.gain);
        p.put_int("Shift", a.shift);
        p.put_int("Offset", a.offset);
        break;
    }
    }
    return p.rc;
}

// A text editor that saves the file as UTF-8 turns the micro sign's single
// byte into two; the scan rate is then found under that spelling.
const char SCANRATE_UTF8[] = "Scanrate (\xC2\xB5s)";

const char* section_name(IniText store, const para_section& s) {
    if (s.type == SEC_SCANRATE && !Ini_SectionExists(store, s.name) &&
        Ini_SectionExists(store, SCANRATE_UTF8))
        return SCANRATE_UTF8;
    return s.name;
}

void load_section(IniText store, const para_section& s, para_record* rec) {
    unsigned char* field = reinterpret_cast<unsigned char*>(rec) + s.offset;
    switch (s.type) {
    case SEC_LIMITED:
    case SEC_TIMER:
    case SEC_VALUE:
    case SEC_EVALMODE:
        get_int(store, s.name, "Value", rec, s.offset, s.size, 1);
        break;
    case SEC_SCANRATE:
        get_int(store, section_name(store, s), "Value", rec, s.offset, s.size, 60);
        break;
    case SEC_BOOL:
        get_bool(store, s.name, s.key, field);
        break;
    case SEC_COND:
        inifile2cond(field, s.kind, store, s.name);
        break;
    case SEC_IIR:
        get_iir(store, s.name, rec, s.offset);
        break;
    case SEC_ANAOUT:
        get_int(store, s.name, "Gain", rec, s.offset + static_cast<int>(offsetof(anaout_scaling, gain)), 2,
                1);
        get_int(store, s.name, "Shift", rec, s.offset + static_cast<int>(offsetof(anaout_scaling, shift)), 2,
                1);
        get_int(store, s.name, "Offset", rec, s.offset + static_cast<int>(offsetof(anaout_scaling, offset)),
                4, 1);
        break;
    }
}

// A file without a single section of the set (an empty or a binary file,
// another program's settings) is no parameter file: taking it would rebuild
// every condition from zero and leave the rest as it was.
int holds_a_section(IniText store) {
    for (const para_section& s : sections)
        if (Ini_SectionExists(store, section_name(store, s))) return 1;
    return 0;
}

void progress(int* step) {
    if (para_file_progress) para_file_progress(step);
}

const para_section* find_section_entry(const char* name) {
    for (const para_section& s : sections)
        if (std::strcmp(s.name, name) == 0) return &s;
    return nullptr;
}

const char IIR_FLAG_KEY[] = "Use filtered value instead of value";

enum key_kind { KEY_NONE, KEY_INT, KEY_BOOL, KEY_COND };

// How the loader reads item `key` of a section, by the names parameter_save2store gives.
key_kind kind_of_key(const para_section& s, const char* key) {
    switch (s.type) {
    case SEC_COND:
        return KEY_COND;
    case SEC_BOOL:
        return std::strcmp(key, s.key) == 0 ? KEY_BOOL : KEY_NONE;
    case SEC_IIR:
        return std::strcmp(key, IIR_FLAG_KEY) == 0 ? KEY_BOOL : KEY_INT;
    case SEC_ANAOUT:
        return KEY_INT;
    default:
        // "Value" alone: the limits and the legends beside it are not read back.
        return std::strcmp(key, "Value") == 0 ? KEY_INT : KEY_NONE;
    }
}

} // namespace

int parameter_store_defines(IniText store, const char* section, const char* key) {
    if (!store || !section || !key) return 0;
    const para_section* s = find_section_entry(section);
    if (!s) return 0;
    const char* name = section_name(store, *s);
    if (!Ini_SectionExists(store, name)) return 0;
    int v = 0;
    switch (kind_of_key(*s, key)) {
    case KEY_COND:
        return 1;
    case KEY_INT:
        return Ini_GetInt(store, name, key, &v) > 0 ? 1 : 0;
    case KEY_BOOL:
        return Ini_GetBoolean(store, name, key, &v) > 0 ? 1 : 0;
    default:
        return 0;
    }
}

int parameter_is_value_key(const char* section, const char* key) {
    if (!section || !key) return 0;
    const para_section* s = find_section_entry(section);
    return s && kind_of_key(*s, key) != KEY_NONE ? 1 : 0;
}

int cond2inifile(const void* cond, int kind, IniText store, const char* section) {
    const bit_run* runs = runs_of(kind);
    if (!runs) return 0;
    putter p{store, section};
    for (const bit_run* r = runs; r->bits; r++) {
        const uint16_t w = *run_word(cond, kind, *r);
        for (int b = 0; b < r->bits; b++) p.put_bool(bit_name(*r, b), (w >> b) & 1);
    }
    if (kind == COND_KIND_COMBINED || kind == COND_KIND_COMBINED_RES) {
        const uint16_t comb = static_cast<const combined_cond*>(cond)->comb;
        p.put_string(COMBINE_KEY, bitcomb[comb >= 1 && comb <= 3 ? comb : 0]);
    }
    return p.rc;
}

int inifile2cond(void* cond, int kind, IniText store, const char* section) {
    const bit_run* runs = runs_of(kind);
    if (!runs) return 0;
    // Words that the kind does not store come back as 0, like every bit whose
    // item is missing.
    if (kind == COND_KIND_EVENT || kind == COND_KIND_EVENT_OUTPUTS) {
        *static_cast<event_cond*>(cond) = event_cond{};
    } else {
        *static_cast<combined_cond*>(cond) = combined_cond{};
    }
    // A section that is not there has none of the items: asking for each of
    // them would search the store some fifty times for nothing.
    if (Ini_SectionExists(store, section) != 1) return 0;
    for (const bit_run* r = runs; r->bits; r++) {
        uint16_t* w = run_word(cond, kind, *r);
        for (int b = 0; b < r->bits; b++) {
            // An item that is not "True" or "False" counts as missing.
            int v;
            if (Ini_GetBoolean(store, section, bit_name(*r, b), &v) > 0 && v)
                *w = static_cast<uint16_t>(*w | (1u << b));
        }
    }
    if (kind == COND_KIND_COMBINED || kind == COND_KIND_COMBINED_RES) {
        char buf[16];
        uint16_t comb = 0;
        Ini_GetStringIntoBuffer(store, section, COMBINE_KEY, buf, sizeof buf);
        for (uint16_t c = 1; c <= 3; c++)
            if (std::strcmp(buf, bitcomb[c]) == 0) comb = c;
        static_cast<combined_cond*>(cond)->comb = comb;
    }
    return 0;
}

int enlist_evalmode_to_inifile(IniText store, const char* section) {
    putter p{store, section};
    char key[24];
    for (int i = 0; i < EVAL_MODE_COUNT; i++) {
        std::snprintf(key, sizeof key, "Option %i:", i);
        p.put_string(key, eval_modes_options[i]);
    }
    return p.rc;
}

int parameter_save2store(IniText store, const para_record* rec, const para_record* max,
                         const para_record* min) {
    int step = 0;
    for (const para_section& s : sections) {
        const int rc = save_section(store, s, rec, max, min);
        if (rc < 0) return rc;
        progress(&step);
    }
    return 0;
}

int parameter_store2para(IniText store, para_record* rec) {
    if (!holds_a_section(store)) return PARA_FILE_NO_SET;
    int step = 0;
    for (const para_section& s : sections) {
        load_section(store, s, rec);
        progress(&step);
    }
    return 0;
}

int parameter_save2path(const char* path, const para_record* rec, const para_record* max,
                        const para_record* min) {
    IniText store = Ini_New(0);
    if (!store) return INI_ERR_NO_MEMORY;
    int rc = parameter_save2store(store, rec, max, min);
    if (rc >= 0) rc = Ini_WriteToFile(store, path);
    Ini_Dispose(store);
    return rc < 0 ? rc : 0;
}

int parameter_path2para(const char* path, para_record* rec) {
    IniText store = Ini_New(0);
    if (!store) return INI_ERR_NO_MEMORY;
    int rc = Ini_ReadFromFile(store, path);
    if (rc >= 0) rc = parameter_store2para(store, rec);
    Ini_Dispose(store);
    return rc < 0 ? rc : 0;
}
