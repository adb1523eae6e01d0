// Handles of the program's panels, set at start-up when the panels are loaded and
// shared by every subsystem's callbacks. 0 means "not loaded".
#pragma once

extern int mpanel; // main window
extern int osci1;  // oscillograph window
extern int tab1;   // connect panel
extern int tab2;   // channel A parameters
extern int tab3;   // channel B parameters (same layout as tab2)
extern int tab4;   // teach tables
extern int tab5;   // data recorder
extern int tab6;   // oscillograph settings
extern int tab7;   // general settings
extern int tab8;   // hidden settings
extern int tab9;   // linearisation
extern int tab10;  // hidden settings
extern int tab11;  // hidden settings
extern int graph1; // main display
extern int graph2; // help panel
extern int graph3; // help visualisation panel
extern int popup1; // graph popup of the recorder
