// The batch tool's run: pairing, the commands, the reports (see batch_run.h).
#include "batch/batch_run.h"

#include "batch/batch_report.h"
#include "connect/connect_pairing.h"
#include "connect/connect_text.h"
#include "link/link.h"
#include "link/orders.h"
#include "params/para_compare.h"
#include "params/para_file.h"
#include "params/para_transfer.h"
#include "recorder/record_file.h"
#include "support/inifile.h"
#include "support/program.h"

#include <cstring>
#include <memory>
#include <string>

namespace {

using store_ptr = std::unique_ptr<IniStore, void (*)(IniText)>;

// A parameter file read once for every unit: its store and the set it decodes to.
struct loaded_file {
    store_ptr store{nullptr, Ini_Dispose};
    para_record rec{};
};

// Reads a parameter file; false with a message when it cannot be used.
bool load_file(const std::string& path, loaded_file* f, std::string* error) {
    f->store.reset(Ini_New(0));
    int rc = f->store ? Ini_ReadFromFile(f->store.get(), path.c_str()) : INI_ERR_NO_MEMORY;
    if (rc >= 0) rc = parameter_store2para(f->store.get(), &f->rec);
    if (rc >= 0) return true;
    // The program's message for a file it cannot read.
    *error = path + ": Error while reading ini-file" +
             (rc == PARA_FILE_NO_SET ? std::string(" (no parameter set in it)") : std::string());
    return false;
}

const char* target_name(int target) {
    return target == BATCH_ROM ? "rom" : "ram";
}

// The state of one unit's run.
struct unit_run {
    const batch_args& a;
    const batch_unit_arg& u;
    unit_report& r;
    connect_info* c = &com.connect;
    link_exchanger link;
    paired_unit unit{};
    bool several = false;

    unit_run(const batch_args& args, const batch_unit_arg& unit_arg, unit_report& report)
        : a(args), u(unit_arg), r(report) {}

    // A failed transaction: the program's text for it.
    void link_failed(int code, int procedure = -1) {
        r.outcome = OUTCOME_LINK;
        const char* status = nullptr;
        const char* log = nullptr;
        if (procedure >= 0 && connect_failure_texts(procedure, code, &status, &log))
            r.reason = status;
        else
            r.reason = link_loop_text(code) ? link_loop_text(code) : link_status_text(code);
    }

    bool open() {
        int ok = 0;
        if (u.protocol == LINK_PROTOCOL_TCP) {
            ok = init_tcp(c, u.port, u.host.c_str());
        } else {
            // A device named by its path is opened as COM0, which no numbered port is.
            int com_port = u.com_port;
            if (!u.device.empty()) {
                link_set_serial_device(0, u.device.c_str());
                com_port = 0;
            }
            const int rates[5] = {9600, 19200, 38400, 57600, 115200};
            int index = 1;
            for (int i = 0; i < 5; i++)
                if (rates[i] == u.baud) index = i;
            ok = init_rs232(c, com_port, index, 1);
        }
        if (ok == 1) return true;
        r.outcome = OUTCOME_LINK;
        r.reason = c->message;
        return false;
    }

    // Search, version, the version check, then limits, RAM set and descriptions.
    bool pair() {
        link = link_exchanger_of(c);
        int step = 0;
        int rc = pair_identify(link, &unit, &step, nullptr);
        if (rc) {
            link_failed(rc, CONNECT_TRY);
            return false;
        }
        r.unit_number = unit.unit_number;
        r.version = unit.version;
        if (a.has_expect ? std::strncmp(unit.version, a.expect_version.c_str(), a.expect_version.size()) != 0
                         : !versions_match(unit.version, pc_version_str)) {
            r.outcome = OUTCOME_REFUSED;
            r.reason = "Mismatch of versions: " + std::string(unit.version);
            return false;
        }
        std::snprintf(c->unit_text, sizeof c->unit_text, "%.127s", unit.version);
        rc = pair_accept(link, &unit, &step);
        if (rc) {
            link_failed(rc, CONNECT_ACCEPT);
            return false;
        }
        char line[256];
        format_sensor_line(line, sizeof line, unit.unit_number, unit.version, c->protocol, c->com_port,
                           c->server);
        r.status.push_back(line);
        return true;
    }

    std::string path_for(const std::string& file) const {
        return several ? batch_unit_path(file, unit.unit_number) : file;
    }

    // One transfer with its status text; the code as para_transfer returns it.
    int transfer(int mode, const char* operation, const para_record* send, para_record* back) {
        char text[LINK_TEXT_SIZE];
        std::snprintf(text, sizeof text, "%s", operation);
        uint16_t words[PARA_WORDS];
        uint16_t answer[PARA_WORDS] = {};
        if (send) para_to_words(send, words);
        const int rc = para_transfer(link, mode, 0, text, send ? words : nullptr, send ? PARA_WORDS : 0,
                                     back ? answer : nullptr, back ? PARA_WORDS : 0);
        r.status.push_back(text);
        // The unit's set comes with its own plausibility count; it is still the set.
        if (back && (rc == 0 || rc == LINK_ERR_PLAUSIBILITY)) para_from_words(back, answer);
        return rc;
    }

    // A transfer's failure: refused fields fail the unit, anything else is the link's.
    bool transfer_ok(int rc) {
        if (rc == 0) return true;
        if (rc == LINK_ERR_PLAUSIBILITY) {
            r.outcome = OUTCOME_FAILED;
            r.reason = r.status.back();
        } else {
            link_failed(rc);
        }
        return false;
    }

    // Reading ROM loads it into the RAM first; the RAM set read when pairing
    // goes back, so that reading leaves the unit as it was found.
    bool read_set(int target, para_record* rec) {
        if (target == BATCH_RAM) {
            *rec = unit.ram;
            return true;
        }
        if (!transfer_ok(transfer(PARA_MODE_READ_ROM, "Reading data ... ", nullptr, rec))) return false;
        return transfer_ok(transfer(PARA_MODE_SEND_RAM, "Sending data ... ", &unit.ram, nullptr));
    }

    void info() {
        r.has_lin = true;
        for (int ch = 0; ch < 2; ch++) {
            const char* text = reinterpret_cast<const char*>(unit.lin_info) + ch * (PAIR_LIN_INFO_BYTES / 2);
            r.lin[ch].assign(text, strnlen(text, PAIR_LIN_INFO_BYTES / 2));
        }
    }

    void read() {
        para_record rec{};
        if (a.target == BATCH_RAM) {
            if (!transfer_ok(transfer(PARA_MODE_READ_RAM, "Reading data ... ", nullptr, &rec))) return;
        } else if (!read_set(BATCH_ROM, &rec)) {
            return;
        }
        const std::string path = path_for(a.file);
        if (parameter_save2path(path.c_str(), &rec, &unit.max, &unit.min) < 0) {
            r.outcome = OUTCOME_FAILED;
            r.reason = path + ": Error while saving file.";
            return;
        }
        r.files.push_back(path);
    }

    // Compares what came back with what was sent, over the fields the file defines.
    bool verified(const para_record& sent, IniText file, const para_record& back, const char* where) {
        r.left_name = a.file;
        r.right_name = where;
        r.differences.clear();
        para_compare({&sent, file}, {&back, nullptr}, &r.differences);
        if (r.differences.empty()) return true;
        r.outcome = OUTCOME_DIFFERENT;
        return false;
    }

    void send(const loaded_file& f) {
        // The fields the file leaves out keep the unit's values.
        para_record sent = unit.ram;
        parameter_store2para(f.store.get(), &sent);
        const int rc = transfer(PARA_MODE_SEND_RAM, "Sending data ... ", &sent, nullptr);
        if (rc != 0 && rc != LINK_ERR_PLAUSIBILITY) return link_failed(rc);
        para_record back{};
        const int back_rc = transfer(PARA_MODE_READ_RAM, "Reading data ... ", nullptr, &back);
        if (back_rc != 0 && back_rc != LINK_ERR_PLAUSIBILITY) return link_failed(back_rc);
        // Refused fields kept their old values: the read-back names them.
        const bool same = verified(sent, f.store.get(), back, "ram");
        if (rc == LINK_ERR_PLAUSIBILITY || back_rc == LINK_ERR_PLAUSIBILITY) {
            r.outcome = OUTCOME_FAILED;
            r.reason = r.status[r.status.size() - (rc == LINK_ERR_PLAUSIBILITY ? 2 : 1)];
            return;
        }
        if (!same || a.target == BATCH_RAM) return;
        // ROM only after the RAM read-back matched.
        if (!transfer_ok(transfer(PARA_MODE_SEND_ROM, "Sending data ... ", &sent, nullptr))) return;
        if (!transfer_ok(transfer(PARA_MODE_READ_ROM, "Reading data ... ", nullptr, &back))) return;
        verified(sent, f.store.get(), back, "rom");
    }

    void diff(const loaded_file* files) {
        para_record sides[2];
        for (int k = 0; k < 2; k++)
            if (a.src[k].target && !read_set(a.src[k].target, &sides[k])) return;
        const para_side left{a.src[0].target ? &sides[0] : &files[0].rec,
                             a.src[0].target ? nullptr : files[0].store.get()};
        const para_side right{a.src[1].target ? &sides[1] : &files[1].rec,
                              a.src[1].target ? nullptr : files[1].store.get()};
        compare(left, right);
    }

    void compare(const para_side& left, const para_side& right) {
        r.left_name = a.src[0].target ? target_name(a.src[0].target) : a.src[0].file;
        r.right_name = a.src[1].target ? target_name(a.src[1].target) : a.src[1].file;
        para_compare(left, right, &r.differences);
        if (!r.differences.empty()) r.outcome = OUTCOME_DIFFERENT;
    }

    // Polls records as the RUN loop does for the given seconds; each record
    // polled goes to `record` (may be empty). False when the link died.
    bool poll(const std::function<bool(const uint16_t*)>& record) {
        batch_health& h = r.health;
        r.has_health = true;
        const long noise_before = link_count.noise_bytes;
        const double start = link_now();
        bool alive = true;
        while (link_now() - start < a.seconds) {
            uint16_t rec[REC_RECORD_WORDS] = {};
            int n = 0;
            const double t0 = link_now();
            const int rc = exchange_frame(c, ORDER_POLL, POLL_RECORD, nullptr, 0, rec, REC_RECORD_WORDS, &n);
            health_count(&h, rc, link_now() - t0);
            const bool polled = rc == LINK_OK || (rc >= LINK_STATUS_1 && rc <= LINK_STATUS_3);
            if (polled && record && !record(rec)) break;
            // What the unit said wrong is counted; a line that is gone ends the run.
            if (rc == LINK_ERR_NO_CONNECTION || rc == LINK_ERR_SEND || rc == LINK_ERR_SEND_TIMEOUT ||
                rc == LINK_ERR_LINE || rc == LINK_ERR_ARGS || rc == LINK_BUSY) {
                link_failed(rc);
                alive = false;
                break;
            }
        }
        h.seconds = link_now() - start;
        h.noise_bytes = link_count.noise_bytes - noise_before;
        if (alive && h.answers == 0) link_failed(LINK_ERR_RECV_TIMEOUT);
        return alive;
    }

    void record() {
        const std::string path = path_for(a.file);
        // AUTO LIMITED: one record each interval for the whole time; with no
        // interval, every record polled, open-ended as AUTO UNLIMITED.
        const int mode = a.interval > 0 ? REC_AUTO_LIMITED : REC_AUTO_UNLIMITED;
        const int max_values =
            a.interval > 0 ? std::max(1, static_cast<int>(a.seconds / a.interval)) : REC_MAX_VALUES;
        rec_header_info info{nullptr,        nullptr,      c->com_port,       c->baud,
                             pc_version_str, unit.version, a.panel_id.c_str()};
        if (print_file_start(path.c_str()) < 0 ||
            print_file_header(path.c_str(), mode, max_values, a.interval, &info) < 0) {
            r.outcome = OUTCOME_FAILED;
            r.reason = path + ": No file selected.";
            return;
        }
        r.files.push_back(path);
        int stored = 0;
        const double start = link_now();
        bool write_failed = false;
        poll([&](const uint16_t* rec) {
            if (stored >= max_values || link_now() - start < static_cast<double>(stored) * a.interval)
                return true;
            if (print_file_dataset(path.c_str(), stored, rec) < 0) {
                write_failed = true;
                return false;
            }
            stored++;
            return true;
        });
        if (write_failed && r.outcome == OUTCOME_OK) {
            r.outcome = OUTCOME_FAILED;
            r.reason = path + ": Record aborted.";
        }
        r.status.push_back(std::to_string(stored) + " data recorded ...");
    }
};

} // namespace

int batch_run(const batch_args& a, std::ostream& out, std::ostream& err) {
    // Files are read once, before any unit is touched: a file that cannot be
    // used stops the run with nothing written anywhere.
    loaded_file files[2];
    std::string error;
    if (a.command == BATCH_SEND && !load_file(a.file, &files[0], &error)) {
        err << "zazed-batch: " << error << '\n';
        return BATCH_EXIT_USAGE;
    }
    if (a.command == BATCH_DIFF)
        for (int k = 0; k < 2; k++)
            if (!a.src[k].target && !load_file(a.src[k].file, &files[k], &error)) {
                err << "zazed-batch: " << error << '\n';
                return BATCH_EXIT_USAGE;
            }

    const auto emit = [&](const unit_report& r) {
        if (a.json)
            out << report_json(r) << '\n';
        else
            report_human(r, out);
        out.flush();
    };

    int status = BATCH_EXIT_OK;
    if (a.units.empty()) {
        // Two files: no unit to pair.
        unit_report r;
        batch_unit_arg none;
        unit_run run{a, none, r};
        run.compare({&files[0].rec, files[0].store.get()}, {&files[1].rec, files[1].store.get()});
        emit(r);
        return outcome_exit(r.outcome);
    }
    for (const batch_unit_arg& u : a.units) {
        unit_report r;
        r.label = u.label;
        unit_run run{a, u, r};
        run.several = a.units.size() > 1;
        if (run.open() && run.pair()) {
            switch (a.command) {
            case BATCH_INFO:
                run.info();
                break;
            case BATCH_READ:
                run.read();
                break;
            case BATCH_SEND:
                run.send(files[0]);
                break;
            case BATCH_DIFF:
                run.diff(files);
                break;
            case BATCH_RECORD:
                run.record();
                break;
            case BATCH_STATS:
                run.poll(nullptr);
                break;
            }
        }
        init_rs232(&com.connect, 0, 0, 0); // closes whatever is open
        emit(r);
        status = worse_exit(status, outcome_exit(r.outcome));
    }
    return status;
}

int batch_main(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    batch_args a;
    std::string error;
    const int rc = batch_parse(argc, argv, &a, &error);
    if (rc == BATCH_PARSE_HELP) {
        out << batch_help();
        return BATCH_EXIT_OK;
    }
    if (rc != BATCH_PARSE_RUN) {
        err << "zazed-batch: " << error << '\n';
        return BATCH_EXIT_USAGE;
    }
    return batch_run(a, out, err);
}
