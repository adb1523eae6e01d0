// The program's panels loaded offscreen through the user-interface layer, as
// start-up loads and fills them, for the tests of the parameter panels and of
// the parameter exchange.
#pragma once

#include "osci/osci_mode.h"
#include "params/para_gui.h"
#include "settings/anaout_view.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// What the popup handler saw, and what it answers for file dialogs.
struct popup_log {
    struct seen {
        int kind;
        std::string title, text, directory, default_name, filter;
    };
    std::vector<seen> popups;
    int file_answer = 0; // UI_..._FILE_SELECTED
    std::string file_path;
};
extern popup_log popups;

class ParaPanels : public ::testing::Test {
  protected:
    // The panels are loaded once for all tests: every test starts by showing
    // a whole record, which sets every bound control.
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Puts the oscillograph mode rings on `a` and `b` (-1 Off, 0 Auto, 1 Once).
    static void osci_modes(int a, int b);
};

// A record with a distinctive value in every field that a panel can hold:
// flags 0 or 1, numbers inside the controls' ranges, ring values that the
// rings list, a scan rate that is a multiple of 60, channel B on input "2"
// (0), filter A active, filter B off.
para_record panel_sample();
