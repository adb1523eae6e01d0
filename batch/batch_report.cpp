// Reports of the batch tool (see batch_report.h).
#include "batch/batch_report.h"

#include "batch/batch_args.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <cstdio>

namespace {

// Parameter files spell the micro sign as its single Windows-1252 byte; the
// terminal and JSON want UTF-8.
std::string utf8(const std::string& latin1) {
    return QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size())).toStdString();
}

QString qs(const std::string& latin1) {
    return QString::fromLatin1(latin1.data(), static_cast<qsizetype>(latin1.size()));
}

std::string trimmed(std::string s) {
    while (!s.empty() && (s.back() == ' ' || s.back() == '\n')) s.pop_back();
    return s;
}

// Lines of a text with embedded line breaks, as one line.
std::string one_line(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c != '\n')
            out += c;
        else if (!out.empty() && out.back() != ' ')
            out += ' ';
    }
    return trimmed(out);
}

} // namespace

int outcome_exit(int outcome) {
    switch (outcome) {
    case OUTCOME_OK:
        return BATCH_EXIT_OK;
    case OUTCOME_LINK:
        return BATCH_EXIT_LINK;
    default:
        return BATCH_EXIT_FAILED;
    }
}

int worse_exit(int a, int b) {
    // A dead link is the worst news: the unit's state is not known at all.
    const auto rank = [](int e) { return e == BATCH_EXIT_LINK ? 3 : e == BATCH_EXIT_USAGE ? 2 : e; };
    return rank(a) >= rank(b) ? a : b;
}

const char* outcome_word(int outcome) {
    switch (outcome) {
    case OUTCOME_OK:
        return "ok";
    case OUTCOME_DIFFERENT:
        return "different";
    case OUTCOME_FAILED:
        return "failed";
    case OUTCOME_REFUSED:
        return "refused";
    default:
        return "link failure";
    }
}

void report_human(const unit_report& r, std::ostream& out) {
    const std::string p = r.label.empty() ? std::string() : r.label + ": ";
    for (const std::string& s : r.status) out << p << one_line(s) << '\n';
    if (r.has_lin) {
        for (int ch = 0; ch < 2; ch++) {
            out << p << "linearisation " << (ch ? 'B' : 'A') << ':';
            if (r.lin[ch].empty()) out << " (none)";
            out << '\n';
            std::string line;
            for (size_t i = 0; i <= r.lin[ch].size(); i++) {
                if (i == r.lin[ch].size() || r.lin[ch][i] == '\n') {
                    if (!line.empty()) out << p << "  " << utf8(line) << '\n';
                    line.clear();
                } else {
                    line += r.lin[ch][i];
                }
            }
        }
    }
    for (const para_difference& d : r.differences)
        out << p << '[' << utf8(d.section) << "] " << d.key << ": " << r.left_name << ' ' << d.left << ", "
            << r.right_name << ' ' << d.right << '\n';
    for (const std::string& f : r.files) out << p << "file " << f << '\n';
    if (r.has_health) out << p << health_line(r.health) << '\n';
    std::string verdict = r.outcome == OUTCOME_OK          ? "OK"
                          : r.outcome == OUTCOME_DIFFERENT ? "DIFFERENT"
                          : r.outcome == OUTCOME_REFUSED   ? "REFUSED"
                          : r.outcome == OUTCOME_FAILED    ? "FAILED"
                                                           : "LINK FAILURE";
    if (r.outcome == OUTCOME_DIFFERENT)
        verdict += ": " + std::to_string(r.differences.size()) +
                   (r.differences.size() == 1 ? " field differs" : " fields differ");
    if (!r.reason.empty()) verdict += (r.outcome == OUTCOME_DIFFERENT ? "; " : ": ") + one_line(r.reason);
    out << p << verdict << '\n';
}

std::string report_json(const unit_report& r) {
    QJsonObject o;
    o["unit"] = r.label.empty() ? QJsonValue() : QJsonValue(qs(r.label));
    if (r.unit_number >= 0) o["unit_number"] = r.unit_number;
    if (!r.version.empty()) o["version"] = qs(r.version);
    o["outcome"] = outcome_word(r.outcome);
    if (!r.reason.empty()) o["reason"] = qs(r.reason);
    QJsonArray status;
    for (const std::string& s : r.status) status.append(qs(s));
    o["status"] = status;
    if (r.has_lin) o["linearisation"] = QJsonArray{qs(r.lin[0]), qs(r.lin[1])};
    if (!r.left_name.empty()) {
        QJsonArray diffs;
        for (const para_difference& d : r.differences)
            diffs.append(QJsonObject{{"section", qs(d.section)},
                                     {"key", qs(d.key)},
                                     {"left", qs(d.left)},
                                     {"right", qs(d.right)}});
        o["left"] = qs(r.left_name);
        o["right"] = qs(r.right_name);
        o["differences"] = diffs;
    }
    if (!r.files.empty()) {
        QJsonArray files;
        for (const std::string& f : r.files) files.append(QString::fromStdString(f));
        o["files"] = files;
    }
    if (r.has_health) {
        const health_summary s = health_summarise(r.health);
        QJsonObject codes;
        for (const auto& [code, n] : r.health.codes) codes[QString::number(code)] = static_cast<double>(n);
        o["counters"] = QJsonObject{{"polls", static_cast<double>(r.health.polls)},
                                    {"answers", static_cast<double>(r.health.answers)},
                                    {"seconds", r.health.seconds},
                                    {"polls_per_second", s.per_second},
                                    {"rtt_median_ms", s.median_ms},
                                    {"rtt_p95_ms", s.p95_ms},
                                    {"rtt_max_ms", s.max_ms},
                                    {"timeouts", static_cast<double>(r.health.timeouts)},
                                    {"crc_errors", static_cast<double>(r.health.crc_errors)},
                                    {"short_answers", static_cast<double>(r.health.short_answers)},
                                    {"rejected_orders", static_cast<double>(r.health.rejected)},
                                    {"noise_bytes", static_cast<double>(r.health.noise_bytes)},
                                    {"codes", codes}};
    }
    return QJsonDocument(o).toJson(QJsonDocument::Compact).toStdString();
}
