// Test panels of the user-interface layer and a recorder of callback events.
#pragma once

#include "ui/ui.h"

#include <QApplication>
#include <QWidget>
#include <gtest/gtest.h>

#include <vector>

// Resource numbers and control ids of the test layouts (ui_test_*.ui).
enum { R_MAIN = 101, R_GRAPH = 102, R_CHILD = 103, R_ATTR = 104 };
enum {
    C_GO = 1,
    C_STOP,
    C_RAM,
    C_VALUE,
    C_RING,
    C_PORT,
    C_NAME,
    C_LOG,
    C_STATUS,
    C_FLAG,
    C_TABLE,
    C_LIST,
    C_SLIDE,
    C_BAR,
    C_LED,
    C_TIMER,
    C_GRAPH = 1,
    C_STRIP,
    C_CANVAS,
    C_INNER = 1,
    C_COUNT = 1,
    C_DECO,
    C_PLAIN,
};

struct Seen {
    int panel, ctrl, event, data1, data2;
};
extern std::vector<Seen> seen;
int record_cb(int panel, int ctrl, int event, void* data, int d1, int d2);
int count_events(int ctrl, int event);

// The first widget with this objectName in any window.
QWidget* find_widget(const char* name);

class UiTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    int main_panel = 0;
};
