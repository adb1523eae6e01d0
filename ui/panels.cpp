#include "ui/panels.h"

int mpanel, osci1, tab1, tab2, tab3, tab4, tab5, tab6, tab7, tab8, tab9, tab10, tab11;
int graph1, graph2, graph3, popup1;
