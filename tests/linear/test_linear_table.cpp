// Linearisation tables: the default table, the ideal file, synthetic sensors
// checked against their own fit, and files that give no table.
#include "linear/linear_curve.h"
#include "linear/linear_file.h"
#include "linear/linear_math.h"

#include "linear_test_util.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr int S = LINEAR_FULL_SCALE;

struct Table {
    int16_t t[1024];
    double c[4] = {};
    int rc = 0;
    Table() { std::fill(t, t + 1024, int16_t{0x5A5A}); }
    explicit Table(const std::string& text) : Table() {
        rc = get_linear_data_mem(text.data(), text.size(), 1024, S, t, 1024, c);
    }
    bool untouched() const {
        return std::all_of(t, t + 1024, [](int16_t v) { return v == 0x5A5A; });
    }
    double p(double u) const { return c[0] + u * (c[1] + u * (c[2] + u * c[3])); }
    double slope(double u) const { return c[1] + u * (2.0 * c[2] + u * 3.0 * c[3]); }
    bool fit_rises() const {
        for (int i = 0; i <= 4096; i++)
            if (slope(i / 4096.0) <= 0.0) return false;
        return true;
    }
};

struct Sensor {
    const char* name;
    double (*f)(double);
    bool fit_rises; // the cubic fit rises over the whole range
};

const Sensor sensors[] = {
    {"p^0.5", [](double p) { return std::sqrt(p); }, true},
    {"p^1.3", [](double p) { return std::pow(p, 1.3); }, true},
    {"p^2", [](double p) { return p * p; }, true},
    // Flat at both ends: its fit dips below its start and falls again before its end.
    {"S-curve", [](double p) { return 0.5 - 0.5 * std::cos(M_PI * p); }, false},
    {"line with offset", [](double p) { return 0.2 + 0.8 * p; }, true},
};

} // namespace

// ---- Default table ----

TEST(LinearTable, DefaultTable) {
    int16_t t[1024];
    ASSERT_EQ(get_default_linear_data(S, t, 1024), 1);
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[1], 31);
    EXPECT_EQ(t[2], 63);
    EXPECT_EQ(t[1023], 32735);
    for (int i = 0; i < 1024; i++) ASSERT_EQ(t[i], static_cast<int16_t>(S * i / 1024)) << i;
    EXPECT_EQ(get_default_linear_data(S, nullptr, 1024), LINEAR_ERR_ARG);
}

// ---- The ideal file ----

// Line i holds 1024 - i: the points lie on y = x, and the fit is the line
// y = x + 1/1024 (reading k stands for the position 1 - k/1024, but gets
// x = (1023 - k)/1024), so the table is the default table moved up one entry.
TEST(LinearTable, IdealFile) {
    const std::string text = lin_text(lin_ideal_lines());
    auto info = std::make_unique<linear_file_info>();
    ASSERT_EQ(linear_file_read_info_mem(text.data(), text.size(), info.get()), LINEAR_FILE_OK);
    char line[32];
    linear_error_text(linear_error(info->x, info->y, info->npoints), line, sizeof line);
    EXPECT_STREQ(line, "0.00% linear error");

    Table table(text);
    ASSERT_EQ(table.rc, LINEAR_TABLE_OK);
    EXPECT_NEAR(table.c[0], 1.0 / 1024, 1e-12);
    EXPECT_NEAR(table.c[1], 1.0, 1e-10);
    int16_t def[1024];
    get_default_linear_data(S, def, 1024);
    EXPECT_EQ(table.t[0], 0);
    int worst = 0;
    for (int j = 1; j < 1024; j++) {
        EXPECT_LE(std::abs(table.t[j] - def[j - 1]), 1) << j;
        worst = std::max(worst, std::abs(table.t[j] - def[j]));
    }
    EXPECT_EQ(worst, 32); // one entry apart is 32 counts: not "close to the default table"
}

// ---- Synthetic sensors ----

// For every level the fit passes between its start and its end, the entry is
// the last position of the full scale at or below the rising root: P(entry /
// s) <= j / 1024 < P((entry + 1) / s), with the coefficients the table was made
// from. A table that took a root outside [0, 1] or a far-off branch fails this
// at once. Where the fit rises throughout, the whole table rises.
TEST(LinearTable, SyntheticSensorsInvertTheirFit) {
    for (const Sensor& sensor : sensors) {
        SCOPED_TRACE(sensor.name);
        Table table(lin_text(lin_lines(lin_sensor(sensor.f))));
        ASSERT_EQ(table.rc, LINEAR_TABLE_OK);
        ASSERT_EQ(table.fit_rises(), sensor.fit_rises);
        const auto inside = [&](int j) { return j / 1024.0 >= table.p(0.0) && j / 1024.0 <= table.p(1.0); };
        int checked = 0;
        for (int j = 0; j < 1024; j++) {
            if (j > 0 && (sensor.fit_rises || (inside(j - 1) && inside(j)))) {
                EXPECT_GE(table.t[j], table.t[j - 1]) << j;
            }
            if (!inside(j)) continue;
            const double t = j / 1024.0;
            EXPECT_LE(table.p(table.t[j] / double(S)), t + 1e-9) << j;
            EXPECT_GT(table.p((table.t[j] + 1) / double(S)), t - 1e-9) << j;
            checked++;
        }
        EXPECT_GT(checked, 700);
    }
}

// Levels below the fit's start map to 0, levels above its end to s.
TEST(LinearTable, LevelsOutsideTheFitClampToTheRangeEnds) {
    // The line with offset starts at level 0.2 and ends at 1: readings 0.2 to 1.
    Table offset(lin_text(lin_lines(lin_sensor([](double p) { return 0.2 + 0.8 * p; }))));
    ASSERT_EQ(offset.rc, LINEAR_TABLE_OK);
    for (int j = 0; j < 200; j++) ASSERT_EQ(offset.t[j], 0) << j;
    // A sensor that ends at 0.9 of its largest reading cannot: make the largest
    // reading the first point's, then let the rest stay below.
    std::vector<int> v = lin_sensor([](double p) { return 0.9 * p; });
    v[0] = 1023;
    Table top(lin_text(lin_lines(v)));
    ASSERT_EQ(top.rc, LINEAR_TABLE_OK);
    EXPECT_EQ(top.t[1023], S);
}

// The S-shaped sensor's fit dips below its start and rises above its end
// value before the end: the lowest levels lie below all of it inside the
// range and the highest above. They belong to the range's ends, start and end
// respectively; the roots of those levels lie outside the range beyond the
// opposite ends, and taking them turned the table's first entries to s and
// its last to 0.
TEST(LinearTable, SCurveTableRisesToItsEnds) {
    Table table(lin_text(lin_lines(lin_sensor([](double p) { return 0.5 - 0.5 * std::cos(M_PI * p); }))));
    ASSERT_EQ(table.rc, LINEAR_TABLE_OK);
    ASSERT_LT(table.slope(0.0), 0.0);
    ASSERT_LT(table.slope(1.0), 0.0);
    EXPECT_EQ(table.t[0], 0);
    EXPECT_EQ(table.t[1023], S);
    for (int j = 1; j < 1024; j++) ASSERT_GE(table.t[j], table.t[j - 1]) << j;
}

// The quadratic sensor's fit has a leading coefficient of rounding size; its
// table must still be the inverse square root, not all zeros.
TEST(LinearTable, QuadraticSensorGivesSquareRoot) {
    Table table(lin_text(lin_lines(lin_sensor([](double p) { return p * p; }))));
    ASSERT_EQ(table.rc, LINEAR_TABLE_OK);
    for (int j = 0; j < 1024; j++) {
        const double want = S * std::max(0.0, std::sqrt(j / 1024.0) - 1.0 / 1024);
        ASSERT_NEAR(table.t[j], want, 0.002 * S) << j;
    }
}

// ---- Files that give no table ----

TEST(LinearTable, FailuresLeaveTheTableAsItWas) {
    const struct {
        const char* name;
        std::string text;
        int rc;
    } cases[] = {
        {"all zero", lin_text(std::vector<std::string>(1024, "0")), LINEAR_ERR_SCALE},
        {"all negative", lin_text(std::vector<std::string>(1024, "-5")), LINEAR_ERR_SCALE},
        {"short", lin_text(std::vector<std::string>(1023, "5")), LINEAR_ERR_SHORT},
        {"empty 1000th line",
         [] {
             auto l = lin_ideal_lines();
             l[999] = "";
             return lin_text(l);
         }(),
         LINEAR_ERR_SHORT},
        {"header", "Sensor\n" + lin_text(lin_ideal_lines()), LINEAR_ERR_NUMBER},
        {"too big", std::string(LINEAR_FILE_MAX_BYTES + 1, '1'), LINEAR_ERR_OPEN},
    };
    for (const auto& c : cases) {
        Table table(c.text);
        EXPECT_EQ(table.rc, c.rc) << c.name;
        EXPECT_TRUE(table.untouched()) << c.name;
    }
}

TEST(LinearTable, OverAPath) {
    const std::string path = lin_temp_path("table");
    lin_write(path, lin_text(lin_ideal_lines(), "\r\n") + "xRange\r\n");
    int16_t t[1024] = {};
    EXPECT_EQ(get_linear_data(path.c_str(), 1024, S, t, 1024), LINEAR_TABLE_OK);
    EXPECT_NEAR(t[1023], S * 1022 / 1024, 1); // the ideal file: the default table one entry up
    std::remove(path.c_str());
    EXPECT_EQ(get_linear_data(path.c_str(), 1024, S, t, 1024), LINEAR_ERR_OPEN);
    EXPECT_EQ(get_linear_data(::testing::TempDir().c_str(), 1024, S, t, 1024), LINEAR_ERR_OPEN);
}

TEST(LinearTable, Arguments) {
    int16_t t[1024];
    const int v[4] = {4, 3, 2, 1}; // a rising sensor: the file starts at the end of the range
    EXPECT_EQ(linear_table_from_readings(v, 3, S, t, 1024, nullptr), LINEAR_ERR_ARG);
    EXPECT_EQ(linear_table_from_readings(v, 4, 0, t, 1024, nullptr), LINEAR_ERR_ARG);
    EXPECT_EQ(linear_table_from_readings(v, 4, 32768, t, 1024, nullptr), LINEAR_ERR_ARG);
    EXPECT_EQ(linear_table_from_readings(v, 4, S, t, 0, nullptr), LINEAR_ERR_ARG);
    EXPECT_EQ(linear_table_from_readings(v, 4, S, nullptr, 4, nullptr), LINEAR_ERR_ARG);
    EXPECT_EQ(linear_table_from_readings(nullptr, 4, S, t, 4, nullptr), LINEAR_ERR_ARG);
    // Four readings make an exact cubic: a table of any size comes out.
    EXPECT_EQ(linear_table_from_readings(v, 4, S, t, 4, nullptr), LINEAR_TABLE_OK);
    EXPECT_EQ(t[0], 0);
}
