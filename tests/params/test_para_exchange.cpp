// parameter_exchange end to end: the link's transaction over a scripted line
// whose far end is the simulated unit in-process (or a scripted answer where a
// fault is wanted); and the parameter file dialogs.
#include "link/link.h"
#include "link/transport_fake.h"
#include "params/para_file.h"
#include "sim/sim_proto.h"
#include "tests/params/para_gui_fixture.h"
#include "tests/params/para_sample.h"
#include "tests/support/fifo_guard.h"
#include "ui/panels.h"
#include "ui/ui.h"
#include "ui/userif.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes answer_frame(int order, uint16_t value, int nwords) {
    Bytes payload(2 * static_cast<size_t>(nwords));
    for (int i = 0; i < nwords; i++)
        frame_put_word(&payload[2 * static_cast<size_t>(i)], static_cast<uint16_t>(i));
    Bytes f(FRAME_HEADER_SIZE);
    frame_write_header(f.data(), order, value, static_cast<uint16_t>(payload.size()),
                       crc8_update_stream(CRC8_START, payload.data(), payload.size()));
    f.insert(f.end(), payload.begin(), payload.end());
    return f;
}

class ParaExchange : public ParaPanels {
  protected:
    fake_clock clk;
    fake_link* line = nullptr;
    std::unique_ptr<sim_proto> unit = std::make_unique<sim_proto>();
    std::vector<int> orders; // order numbers of the requests, in order
    // A scripted answer per order replaces the unit's; an empty one is silence.
    std::vector<std::pair<int, Bytes>> scripted;
    std::vector<int> dimmed_during, color_during;
    char text[LINK_TEXT_SIZE] = "";

    void SetUp() override {
        ParaPanels::SetUp();
        sim_config cfg;
        sim_proto_init(unit.get(), &cfg);
        sim_proto_advance(unit.get(), now_us());
        link_set_clock([this] { return clk.t; });
        link_set_ui_hooks(link_ui_hooks{});
        link_set_openers(
            [this](const char*, int, int*) -> std::unique_ptr<link_transport> {
                auto f = std::make_unique<fake_link>(&clk);
                line = f.get();
                return f;
            },
            nullptr);
        ASSERT_EQ(init_rs232(&com.connect, 1, 4, 1), 1);
        line->respond = [this](fake_link& l, const Bytes& request) { respond(l, request); };
    }

    void TearDown() override {
        init_rs232(&com.connect, 0, 0, 0);
        link_set_openers(nullptr, nullptr);
        link_set_clock(nullptr);
        com.exch_active = 0;
        ParaPanels::TearDown();
    }

    int64_t now_us() const { return 1000000 + static_cast<int64_t>(clk.t * 1e6); }

    void respond(fake_link& l, const Bytes& request) {
        const int order = request.size() > 1 ? request[1] : -1;
        orders.push_back(order);
        int v = -1;
        GetCtrlAttribute(mpanel, MPANEL_CBTN_SEND, ATTR_DIMMED, &v);
        dimmed_during.push_back(v);
        GetCtrlAttribute(mpanel, MPANEL_CBTN_READ, ATTR_CMD_BUTTON_COLOR, &v);
        color_during.push_back(v);
        for (const auto& [o, bytes] : scripted)
            if (o == order) {
                if (!bytes.empty()) l.deliver_at(clk.t + 0.01, bytes);
                return;
            }
        sim_proto_feed(unit.get(), request.data(), static_cast<int>(request.size()), now_us(), 0);
        Bytes out;
        sim_chunk c;
        while (sim_proto_take(unit.get(), &c)) out.insert(out.end(), c.bytes.begin(), c.bytes.end());
        l.deliver_at(clk.t + 0.01, out);
    }

    int run(int mode, const char* operation, uint16_t* send, int nsend, uint16_t* answer, int nanswer) {
        snprintf(text, sizeof text, "%s", operation);
        return parameter_exchange(mode, 0, text, send, nsend, answer, nanswer);
    }

    static void defaults(uint16_t* words) { sim_params_defaults(words); }
};

// ---- sending and reading against the unit -------------------------------------------------

TEST_F(ParaExchange, SendToRamThenReadItBack) {
    uint16_t sent[PARA_WORDS];
    defaults(sent);
    sent[0] = static_cast<uint16_t>(sent[0] ^ 1); // a change the unit accepts
    EXPECT_EQ(run(PARA_MODE_SEND_RAM, "Sending data ... ", sent, PARA_WORDS, nullptr, 0), 0);
    EXPECT_STREQ(text, "Sending data ... Done. ");
    EXPECT_EQ(std::memcmp(unit->unit.ram, sent, sizeof sent), 0);

    uint16_t got[PARA_WORDS] = {};
    EXPECT_EQ(run(PARA_MODE_READ_RAM, "Reading data ... ", nullptr, 0, got, PARA_WORDS), 0);
    EXPECT_STREQ(text, "Reading data ... Done. ");
    EXPECT_EQ(std::memcmp(got, sent, sizeof sent), 0);
    EXPECT_EQ(orders, (std::vector<int>{ORDER_WRITE_RAM, ORDER_READ_RAM}));
}

TEST_F(ParaExchange, SendToRomWritesThenStores) {
    uint16_t sent[PARA_WORDS];
    defaults(sent);
    sent[1] = static_cast<uint16_t>(sent[1] ^ 2);
    EXPECT_EQ(run(PARA_MODE_SEND_ROM, "Sending data ... ", sent, PARA_WORDS, nullptr, 0), 0);
    EXPECT_STREQ(text, "Sending data ... Done.  Store to ROM ... Done. ");
    EXPECT_EQ(orders, (std::vector<int>{ORDER_WRITE_RAM, ORDER_STORE_ROM}));
    EXPECT_EQ(std::memcmp(unit->unit.rom, sent, sizeof sent), 0);
}

TEST_F(ParaExchange, ReadFromRomLoadsThenReads) {
    uint16_t got[PARA_WORDS] = {};
    EXPECT_EQ(run(PARA_MODE_READ_ROM, "Reading data ... ", nullptr, 0, got, PARA_WORDS), 0);
    EXPECT_STREQ(text, "Load from ROM ... Done. Reading data ... Done. ");
    EXPECT_EQ(orders, (std::vector<int>{ORDER_LOAD_ROM, ORDER_READ_RAM}));
    EXPECT_EQ(std::memcmp(got, unit->unit.rom, sizeof got), 0);
}

TEST_F(ParaExchange, TwoRefusedFieldsGiveThePlausibilityCount) {
    uint16_t sent[PARA_WORDS];
    defaults(sent);
    sim_limits lim;
    sim_params_limits(&lim);
    int bad = 0;
    for (int w = 0; w < PARA_WORDS && bad < 2; w++) {
        if (lim.wide[w] || static_cast<int16_t>(lim.max[w]) == INT16_MAX) continue;
        sent[w] = static_cast<uint16_t>(static_cast<int16_t>(lim.max[w]) + 1);
        bad++;
    }
    ASSERT_EQ(bad, 2);
    EXPECT_EQ(run(PARA_MODE_SEND_RAM, "Sending data ... ", sent, PARA_WORDS, nullptr, 0), -14);
    EXPECT_STREQ(text, "2 plausibility check errors!");
}

// A set the unit refused in part must not reach its permanent memory: the
// count is checked before the store order, as for a send to RAM.
TEST_F(ParaExchange, SendToRomWithRefusedFieldsNeverStores) {
    uint16_t sent[PARA_WORDS];
    defaults(sent);
    sim_limits lim;
    sim_params_limits(&lim);
    sent[0] = static_cast<uint16_t>(sent[0] ^ 1); // taken into RAM, so a store would show in ROM
    int bad = 0;
    for (int w = 1; w < PARA_WORDS && bad < 3; w++) {
        if (lim.wide[w] || static_cast<int16_t>(lim.max[w]) == INT16_MAX) continue;
        sent[w] = static_cast<uint16_t>(static_cast<int16_t>(lim.max[w]) + 1);
        bad++;
    }
    ASSERT_EQ(bad, 3);
    uint16_t rom_before[PARA_WORDS];
    std::memcpy(rom_before, unit->unit.rom, sizeof rom_before);
    EXPECT_EQ(run(PARA_MODE_SEND_ROM, "Sending data ... ", sent, PARA_WORDS, nullptr, 0), -14);
    EXPECT_STREQ(text, "3 plausibility check errors!");
    EXPECT_EQ(orders, (std::vector<int>{ORDER_WRITE_RAM}));
    EXPECT_EQ(std::memcmp(unit->unit.rom, rom_before, sizeof rom_before), 0);
}

TEST_F(ParaExchange, ReadWithAPlausibilityCountIsRefused) {
    scripted = {{ORDER_READ_RAM, answer_frame(ORDER_READ_RAM, 2, PARA_WORDS)}};
    uint16_t got[PARA_WORDS] = {};
    EXPECT_EQ(run(PARA_MODE_READ_RAM, "Reading data ... ", nullptr, 0, got, PARA_WORDS), -14);
    EXPECT_STREQ(text, "2 plausibility check errors!");
}

TEST_F(ParaExchange, ButtonsAreDimmedAndRedOnlyDuringTheExchange) {
    uint16_t got[PARA_WORDS] = {};
    run(PARA_MODE_READ_ROM, "Reading data ... ", nullptr, 0, got, PARA_WORDS);
    EXPECT_EQ(dimmed_during, (std::vector<int>{1, 1}));
    EXPECT_EQ(color_during, (std::vector<int>{0xFF0000, 0xFF0000}));
    int v = -1;
    GetCtrlAttribute(mpanel, MPANEL_CBTN_SEND, ATTR_DIMMED, &v);
    EXPECT_EQ(v, 0);
    GetCtrlAttribute(mpanel, MPANEL_CBTN_READ, ATTR_CMD_BUTTON_COLOR, &v);
    EXPECT_EQ(v, 0xE0E0E0);
}

// ---- failures ----------------------------------------------------------------------------

TEST_F(ParaExchange, FailedWriteInRomModeNeverStores) {
    scripted = {{ORDER_WRITE_RAM, Bytes{}}};
    uint16_t sent[PARA_WORDS];
    defaults(sent);
    EXPECT_EQ(run(PARA_MODE_SEND_ROM, "Sending data ... ", sent, PARA_WORDS, nullptr, 0),
              LINK_ERR_RECV_TIMEOUT);
    EXPECT_STREQ(text, "Timeout while receiving.");
    EXPECT_EQ(orders, (std::vector<int>{ORDER_WRITE_RAM}));
}

TEST_F(ParaExchange, FailedLoadFromRomNeverReads) {
    scripted = {{ORDER_LOAD_ROM, Bytes{}}};
    uint16_t got[PARA_WORDS] = {};
    EXPECT_EQ(run(PARA_MODE_READ_ROM, "Reading data ... ", nullptr, 0, got, PARA_WORDS),
              LINK_ERR_RECV_TIMEOUT);
    EXPECT_STREQ(text, "Timeout while receiving.");
    EXPECT_EQ(orders, (std::vector<int>{ORDER_LOAD_ROM}));
}

TEST_F(ParaExchange, ShortAnswerIsInsufficient) {
    scripted = {{ORDER_READ_RAM, answer_frame(ORDER_READ_RAM, 0, 100)}};
    paras.para_pc = para_sample();
    const para_record before = paras.para_pc;
    uint16_t got[PARA_WORDS] = {};
    EXPECT_EQ(run(PARA_MODE_READ_RAM, "Reading data ... ", nullptr, 0, got, PARA_WORDS), -13);
    EXPECT_STREQ(text, "Insufficient number of bytes.");
    EXPECT_EQ(std::memcmp(&paras.para_pc, &before, sizeof before), 0);
}

// ---- channel reset -------------------------------------------------------------------------

TEST_F(ParaExchange, ResetOrdersTheChannelAndReportsIt) {
    SimulateCtrlEvent(tab3, TAB2_CMDB_RESET, EVENT_COMMIT, 0, 0);
    ASSERT_EQ(orders, (std::vector<int>{ORDER_RESET}));
    char status[LINK_TEXT_SIZE] = "";
    GetCtrlVal(graph1, GRAPH1_STRING_STATUS, status);
    EXPECT_STREQ(status, "Ordering unit to reset channel B ... Done. ");
    com.exch_active = 1;
    SimulateCtrlEvent(tab2, TAB2_CMDB_RESET, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(orders.size(), 1u);
}

// ---- parameter file dialogs ----------------------------------------------------------------

class ParaFiles : public ParaPanels {
  protected:
    std::filesystem::path dir;
    void SetUp() override {
        ParaPanels::SetUp();
        dir = std::filesystem::temp_directory_path() / ("para_gui_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir);
        snprintf(last_directory, sizeof last_directory, "/nowhere/");
    }
    void TearDown() override {
        std::filesystem::remove_all(dir);
        ParaPanels::TearDown();
    }
    void answer_with(const std::filesystem::path& p, int how = UI_NEW_FILE_SELECTED) {
        popups.file_answer = how;
        popups.file_path = p.string();
    }
};

TEST_F(ParaFiles, SaveAndLoadThroughTheDialogs) {
    const para_record r = para_sample();
    answer_with(dir / "set.ini");
    EXPECT_EQ(parameter_save2file(nullptr, &r, nullptr, nullptr), 0);
    ASSERT_EQ(popups.popups.size(), 1u);
    EXPECT_EQ(popups.popups[0].kind, UI_POPUP_FILE_SAVE);
    EXPECT_EQ(popups.popups[0].title, "KORMELAN-3 Parameter File");
    EXPECT_EQ(popups.popups[0].filter, "*.ini");
    EXPECT_EQ(popups.popups[0].default_name, "*.ini");
    EXPECT_EQ(popups.popups[0].directory, "/nowhere/");
    EXPECT_EQ(std::string(paras.para_pathname), (dir / "set.ini").string());
    EXPECT_EQ(std::string(last_directory), dir.string() + "/");
    EXPECT_STREQ(work_dirname, last_directory);
    double bar = -1;
    GetCtrlVal(graph1, GRAPH1_BAR_ACTIVITY1, &bar);
    EXPECT_EQ(bar, 0.0);

    para_record back = r;
    back.powerA = 0;
    answer_with(dir / "set.ini", UI_EXISTING_FILE_SELECTED);
    EXPECT_EQ(parameter_file2para(nullptr, &back), 0);
    EXPECT_EQ(popups.popups[1].kind, UI_POPUP_FILE_LOAD);
    EXPECT_EQ(popups.popups[1].directory, dir.string() + "/");
    EXPECT_EQ(back.powerA, r.powerA);
}

// Paths were held in 260 bytes: a longer one was cut, the set went to another
// file (the cut name) and the save said "Done.".
TEST_F(ParaFiles, PathLongerThan260BytesIsSavedAndLoadedWhole) {
    const std::filesystem::path deep =
        dir / std::string(100, 'a') / std::string(100, 'b') / std::string(100, 'c');
    std::filesystem::create_directories(deep);
    const std::filesystem::path file = deep / "set.ini";
    ASSERT_GT(file.string().size(), 300u);
    const para_record r = para_sample();
    answer_with(file);
    ASSERT_EQ(parameter_save2file(nullptr, &r, nullptr, nullptr), 0);
    EXPECT_TRUE(std::filesystem::is_regular_file(file));
    EXPECT_EQ(std::string(paras.para_pathname), file.string());
    EXPECT_EQ(std::string(last_directory), deep.string() + "/");
    EXPECT_STREQ(work_dirname, last_directory);

    para_record back = r;
    back.powerA = 0;
    answer_with(file, UI_EXISTING_FILE_SELECTED);
    ASSERT_EQ(parameter_file2para(nullptr, &back), 0);
    EXPECT_EQ(back.powerA, r.powerA);
}

TEST_F(ParaFiles, PathBeyondTheSystemsLimitIsRefusedNotCut) {
    // The test directory padded with "./", then a file name that crosses the
    // limit: cut at the limit, the path would name a new file there.
    std::string path = dir.string() + "/";
    while (path.size() < static_cast<size_t>(UI_MAX_PATH) - 100) path += "./";
    path += std::string(200, 's');
    answer_with(path);
    const para_record r = para_sample();
    EXPECT_LT(parameter_save2file(nullptr, &r, nullptr, nullptr), 0);
    EXPECT_TRUE(std::filesystem::is_empty(dir));
    EXPECT_STREQ(last_directory, "/nowhere/");

    para_record back = r;
    back.powerA = 0;
    answer_with(path, UI_EXISTING_FILE_SELECTED);
    EXPECT_EQ(parameter_file2para(nullptr, &back), -1);
    ASSERT_EQ(popups.popups.size(), 3u);
    EXPECT_EQ(popups.popups[2].title, "Error");
    EXPECT_EQ(popups.popups[2].text, "Error while reading ini-file");
    EXPECT_EQ(back.powerA, 0);
}

// Reading a named pipe as the parameter file waited for a writer for good.
TEST_F(ParaFiles, NamedPipeIsRefusedAsUnreadableWithoutWaiting) {
    fifo_guard fifo((dir / "pipe.ini").string());
    ASSERT_TRUE(fifo.made());
    answer_with(fifo.path(), UI_EXISTING_FILE_SELECTED);
    para_record r = para_sample();
    const para_record before = r;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(parameter_file2para(nullptr, &r), -1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_FALSE(fifo.fired()) << "the reader blocked on the pipe";
    ASSERT_EQ(popups.popups.size(), 2u);
    EXPECT_EQ(popups.popups[1].text, "Error while reading ini-file");
    EXPECT_EQ(std::memcmp(&r, &before, sizeof r), 0);
}

TEST_F(ParaFiles, CancelledDialogsChangeNothing) {
    answer_with(dir / "x.ini", UI_NO_FILE_SELECTED);
    para_record r = para_sample();
    EXPECT_EQ(parameter_save2file(nullptr, &r, nullptr, nullptr), -1);
    EXPECT_EQ(parameter_file2para(nullptr, &r), -1);
    EXPECT_FALSE(std::filesystem::exists(dir / "x.ini"));
    EXPECT_STREQ(last_directory, "/nowhere/");
}

TEST_F(ParaFiles, FailedWriteIsAnErrorNotDone) {
    answer_with(dir / "missing" / "set.ini");
    const para_record r = para_sample();
    EXPECT_LT(parameter_save2file(nullptr, &r, nullptr, nullptr), 0);
}

TEST_F(ParaFiles, UnreadableFileIsReportedAndChangesNothing) {
    answer_with(dir / "absent.ini", UI_EXISTING_FILE_SELECTED);
    para_record r = para_sample();
    const para_record before = r;
    EXPECT_EQ(parameter_file2para(nullptr, &r), -1);
    ASSERT_EQ(popups.popups.size(), 2u);
    EXPECT_EQ(popups.popups[1].kind, UI_POPUP_MESSAGE);
    EXPECT_EQ(popups.popups[1].title, "Error");
    EXPECT_EQ(popups.popups[1].text, "Error while reading ini-file");
    EXPECT_EQ(std::memcmp(&r, &before, sizeof r), 0);
}

} // namespace
