// The parameter set of a paired unit through the main window's SEND and READ:
// what a file load may and may not change before the set goes back to the unit.
#include "connect_fixture.h"

#include "params/para_gui.h"
#include "sim/sim_wire.h"
#include "tests/support/file_limit.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace {

std::vector<uint16_t> unit_ram(running_sim& sim) {
    std::vector<uint16_t> w(PARA_WORDS);
    sim_server_call(sim.server, [&](sim_service* s) {
        std::memcpy(w.data(), s->wire()->proto()->unit.ram, w.size() * sizeof w[0]);
    });
    return w;
}

void choose_target(int toggle) {
    SetCtrlVal(mpanel, toggle, 1);
    SimulateCtrlEvent(mpanel, toggle, EVENT_COMMIT, 0, 0);
}

} // namespace

// An empty file used to load as "Done." with every condition rebuilt from
// zero; the next SEND then cleared the unit's timers, outputs and autosend.
TEST_F(ConnectTest, FileWithoutParameterSetIsRefusedAndTheUnitKeepsItsSet) {
    running_sim sim({"--tcp", "0"});
    connect_choose_tcp("127.0.0.1", sim.port());
    commit(TAB1_CMDB_TRYCONNECT);
    answers.push_back(1);
    commit(TAB1_CMDB_COMACCEPT);
    const std::vector<uint16_t> ram = unit_ram(sim);
    ASSERT_NE(paras.para_pc.counter_condA.evnt[1] | paras.para_pc.osci_condB.evnt[1], 0)
        << "the unit's set should have conditions to lose";
    const para_record before = paras.para_pc;

    const std::string empty = ::testing::TempDir() + "zazed_empty_" + std::to_string(getpid()) + ".ini";
    std::ofstream(empty).close();
    choose_target(MPANEL_TOGGLE_FILE);
    paths.push_back(empty);
    SimulateCtrlEvent(mpanel, MPANEL_CBTN_READ, EVENT_COMMIT, 0, 0);
    std::remove(empty.c_str());
    EXPECT_EQ(status_text(), "Error while reading file.");
    EXPECT_EQ(std::memcmp(&paras.para_pc, &before, sizeof before), 0);

    choose_target(MPANEL_TOGGLE_RAM);
    SimulateCtrlEvent(mpanel, MPANEL_CBTN_SEND, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(status_text(), "Sending data ... Done. ");
    EXPECT_EQ(unit_ram(sim), ram);
}

// SEND to a file while the disk is full: the status line names the failure,
// never "Done.", and the file saved before is still whole.
TEST_F(ConnectTest, FullDiskDuringAParameterSaveIsReportedAndKeepsTheOldFile) {
    const std::string file = ::testing::TempDir() + "zazed_full_" + std::to_string(getpid()) + ".ini";
    const std::string old = "[Notes]\nkept = 1\n";
    std::ofstream(file, std::ios::binary) << old;
    choose_target(MPANEL_TOGGLE_FILE);
    {
        scoped_file_limit full(4096);
        ASSERT_TRUE(full.ok());
        paths.push_back(file);
        SimulateCtrlEvent(mpanel, MPANEL_CBTN_SEND, EVENT_COMMIT, 0, 0);
    }
    EXPECT_EQ(status_text(), "Error while saving file.");
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>()), old);
    paths.push_back(file);
    SimulateCtrlEvent(mpanel, MPANEL_CBTN_SEND, EVENT_COMMIT, 0, 0);
    EXPECT_EQ(status_text(), "Sending data ... Done.");
    std::remove(file.c_str());
}
