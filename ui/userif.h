// Panel and control identities of the program's panel layouts.
//
// Every panel is one Qt Designer file in resources/ (embedded under ":/userif/"), loaded by its resource
// number. Controls are addressed by (panel handle, control id); the id constants below are PANEL_CONTROL and
// the widget's objectName is CONTROL. Ids are the panel's resource number times 100 plus the control's
// position, so an id handed to the wrong panel names no control there instead of a different one.
//
// What the layout files carry beside the widgets themselves:
// - `callback` (string property) on a control or on the panel's top widget: the name of its CC_ callback.
// - A control's caption is a QLabel named LBL_<control> whose buddy is the control. The caption belongs to
//   the control: its label text, visibility and dimming follow the control, as labels did in the original
//   layout. Other LBL_ labels and DECO_ frames are decoration; those the program touches have ids.
// - `itemValues` (string list) on a ring whose item values are not simply 0, 1, 2 ...; rings filled at run
//   time start empty.
// - `onValue` (int) on a switch whose "on" value is not 1 (the timer switch uses -1 so it can be ANDed with
//   the timer value).
// - UiLed `onColor`; UiGraph `xMin`, `xMax`, `yMin`, `yMax`, `xLabel`, `yLabel`, `bgColor`; UiStripChart
//   `traces`, `pointsPerScreen`, `yMin`, `yMax`; UiTimer `interval` (seconds) and `enabled`.
// Controls that overlap on a panel share a place by design; all but one of them start invisible.
#pragma once

// clang-format off

// Panel resource numbers.
constexpr int MPANEL = 4;
constexpr int OSCI1  = 5;
constexpr int TAB1   = 7;
constexpr int TAB2   = 10;
constexpr int TAB4   = 12;
constexpr int TAB5   = 13;
constexpr int TAB6   = 14;
constexpr int TAB7   = 15;
constexpr int TAB8   = 16;
constexpr int TAB9   = 17;
constexpr int TAB10  = 8;
constexpr int TAB11  = 9;
constexpr int GRAPH1 = 1;
constexpr int GRAPH2 = 2;
constexpr int GRAPH3 = 3;
constexpr int POPUP1 = 6;

// mpanel: main window: panel selector, SEND/READ, target, RUN/VIDEO/STOP
constexpr int MPANEL_DECO_INFOBACK     = 401;
constexpr int MPANEL_DECO_INFOFRAME    = 402;
constexpr int MPANEL_CBTN_RUN          = 403;
constexpr int MPANEL_CBTN_VIDEO        = 404;
constexpr int MPANEL_CBTN_STOP         = 405;
constexpr int MPANEL_CBTN_SEND         = 406;
constexpr int MPANEL_CBTN_READ         = 407;
constexpr int MPANEL_TOGGLE_RAM        = 408;
constexpr int MPANEL_TOGGLE_ROM        = 409;
constexpr int MPANEL_TOGGLE_FILE       = 410;
constexpr int MPANEL_CBTN_HELP         = 411;
constexpr int MPANEL_CBTN_SEL_CONNECT  = 412;
constexpr int MPANEL_CBTN_SEL_CHANA    = 413;
constexpr int MPANEL_CBTN_SEL_CHANB    = 414;
constexpr int MPANEL_CBTN_SEL_TEACH    = 415;
constexpr int MPANEL_CBTN_SEL_RECORDER = 416;
constexpr int MPANEL_CBTN_SEL_OSCI     = 417;
constexpr int MPANEL_CBTN_SEL_GENERAL  = 418;
constexpr int MPANEL_CBTN_SEL_LINEAR   = 419;
constexpr int MPANEL_CBTN_SEL_HIDDEN   = 420;
constexpr int MPANEL_CBTN_SEL_FILTER   = 421;
constexpr int MPANEL_CBTN_SEL_COUNTER  = 422;

// osci1: oscillograph window
constexpr int OSCI1_DECO_INFOBACK    = 501;
constexpr int OSCI1_DECO_INFOFRAME   = 502;
constexpr int OSCI1_CANVAS_LEGEND    = 503;
constexpr int OSCI1_SLIDE_VERTICAL   = 504;
constexpr int OSCI1_GRAPH_OSCI       = 505;
constexpr int OSCI1_GRAPH_INPUTS     = 506;
constexpr int OSCI1_SLIDE_HORIZONTAL = 507;
constexpr int OSCI1_BINS_RAWMAXA     = 508;
constexpr int OSCI1_BINS_VALA        = 509;
constexpr int OSCI1_BINS_MINMAXA     = 510;
constexpr int OSCI1_BINS_CNTRA       = 511;
constexpr int OSCI1_BINS_RESULTA     = 512;
constexpr int OSCI1_BINS_RAWMAXB     = 513;
constexpr int OSCI1_BINS_VALB        = 514;
constexpr int OSCI1_BINS_MINMAXB     = 515;
constexpr int OSCI1_BINS_CNTRB       = 516;
constexpr int OSCI1_BINS_RESULTB     = 517;
constexpr int OSCI1_RING_ZOOMX       = 518;
constexpr int OSCI1_RING_ZOOMY       = 519;
constexpr int OSCI1_NUM_VTOP         = 520;
constexpr int OSCI1_NUM_HRIGHT       = 521;
constexpr int OSCI1_BINS_SCALEX      = 522;
constexpr int OSCI1_BINS_CURSOR3     = 523;
constexpr int OSCI1_NUM_C3X          = 524;
constexpr int OSCI1_NUM_C3Y          = 525;
constexpr int OSCI1_BINS_CURSOR4     = 526;
constexpr int OSCI1_NUM_C4X          = 527;
constexpr int OSCI1_NUM_C4Y          = 528;
constexpr int OSCI1_NUM_DX           = 529;
constexpr int OSCI1_NUM_DY           = 530;

// tab1: connect panel
constexpr int TAB1_TEXT_TITLE         = 701;
constexpr int TAB1_RING_COMMODE       = 702;
constexpr int TAB1_COMB_SELPORT       = 703;
constexpr int TAB1_COMB_IPADDRESS     = 704;
constexpr int TAB1_RING_BAUDRATE      = 705;
constexpr int TAB1_STRING_TCPPORT     = 706;
constexpr int TAB1_CMDB_TRYCONNECT    = 707;
constexpr int TAB1_CMDB_COMACCEPT     = 708;
constexpr int TAB1_CMDB_CHANGEBAUD    = 709;
constexpr int TAB1_CMDB_EXPORT_HWFILE = 710;
constexpr int TAB1_TEXTMSG_PANELID    = 711;
constexpr int TAB1_TEXT_PANELID       = 712;
constexpr int TAB1_TEXTMSG_PASSWORD   = 713;
constexpr int TAB1_PWDC_PASSWORD      = 714;
constexpr int TAB1_TEXT_CONNECTSTAT   = 715;

// tab2: channel panel; tab3 (channel B) is loaded from the same layout and uses these ids
constexpr int TAB2_TEXT_TITLE       = 1001;
constexpr int TAB2_RING_CHAN        = 1002;
constexpr int TAB2_NUMS_POWER       = 1003;
constexpr int TAB2_NUMS_TRIGGER     = 1004;
constexpr int TAB2_BINS_NORM        = 1005;
constexpr int TAB2_NUMS_HYSTERESIS  = 1006;
constexpr int TAB2_BINS_TIMER       = 1007;
constexpr int TAB2_NUMS_TIMER       = 1008;
constexpr int TAB2_BINS_TIMERMODE   = 1009;
constexpr int TAB2_RING_TIMERCOND   = 1010;
constexpr int TAB2_RING_COUNTERCOND = 1011;
constexpr int TAB2_RING_OUTCOND     = 1012;
constexpr int TAB2_RING_HOLDTIME    = 1013;
constexpr int TAB2_RING_EVALSPAN    = 1014;
constexpr int TAB2_RING_EVALSTART   = 1015;
constexpr int TAB2_RING_EVALSTOP    = 1016;
constexpr int TAB2_RING_EVALMODE    = 1017;
constexpr int TAB2_NUMS_AVERAGING   = 1018;
constexpr int TAB2_CMDB_RESET       = 1019;

// tab4: teach tables
constexpr int TAB4_TEXT_TITLE     = 1201;
constexpr int TAB4_TABLE_TEACHA   = 1202;
constexpr int TAB4_CMDB_TEACHA    = 1203;
constexpr int TAB4_NUMS_EXTTEACHA = 1204;
constexpr int TAB4_TABLE_TEACHB   = 1205;
constexpr int TAB4_CMDB_TEACHB    = 1206;
constexpr int TAB4_NUMS_EXTTEACHB = 1207;

// tab5: data recorder
constexpr int TAB5_TEXT_TITLE         = 1301;
constexpr int TAB5_EDIT_SELECTRECMODE = 1302;
constexpr int TAB5_NUMS_INTERVAL      = 1303;
constexpr int TAB5_NUMS_NUMBER        = 1304;
constexpr int TAB5_RING_AUTOSEND      = 1305;
constexpr int TAB5_CBTN_START         = 1306;
constexpr int TAB5_CMDB_STOP          = 1307;
constexpr int TAB5_CMDB_MANUALREC     = 1308;
constexpr int TAB5_CMDB_SELECTFILE    = 1309;
constexpr int TAB5_CMDB_SHOWGRAPH     = 1310;
constexpr int TAB5_TEXTBOX_FILENAME   = 1311;
constexpr int TAB5_STRING_PANELID     = 1312;
constexpr int TAB5_STRING_TIME        = 1313;
constexpr int TAB5_BAR_TIME           = 1314;
constexpr int TAB5_STRING_COUNT       = 1315;
constexpr int TAB5_BAR_COUNT          = 1316;

// tab6: oscillograph settings
constexpr int TAB6_TEXT_TITLE     = 1401;
constexpr int TAB6_RING_MODEA     = 1402;
constexpr int TAB6_NUMS_SKIPA     = 1403;
constexpr int TAB6_NUMS_PRETRIGA  = 1404;
constexpr int TAB6_RING_OSCICONDA = 1405;
constexpr int TAB6_CBTN_MASTERA   = 1406;
constexpr int TAB6_RING_MODEB     = 1407;
constexpr int TAB6_NUMS_SKIPB     = 1408;
constexpr int TAB6_NUMS_PRETRIGB  = 1409;
constexpr int TAB6_RING_OSCICONDB = 1410;
constexpr int TAB6_CBTN_MASTERB   = 1411;

// tab7: general settings and analog output
constexpr int TAB7_TEXT_TITLE            = 1501;
constexpr int TAB7_RING_SCANSETTING      = 1502;
constexpr int TAB7_NUMS_SCANRATE         = 1503;
constexpr int TAB7_NUM_FREQUENCY         = 1504;
constexpr int TAB7_NUM_ADTIME            = 1505;
constexpr int TAB7_NUMS_NORMTIMECONSTANT = 1506;
constexpr int TAB7_CMDB_NORM_NOW         = 1507;
constexpr int TAB7_RING_NORMCOND         = 1508;
constexpr int TAB7_RING_DIRTOUTPUT       = 1509;
constexpr int TAB7_RING_ANALOGOUTMODE    = 1510;
constexpr int TAB7_RING_ANAOUTSCALE      = 1511;
constexpr int TAB7_CMDB_SHOWTRANSFER     = 1512;
constexpr int TAB7_DECO_TRANSFER         = 1513;
constexpr int TAB7_GRPH_TRANSFER         = 1514;
constexpr int TAB7_NUMS_XSTART           = 1515;
constexpr int TAB7_NUMS_VSTART           = 1516;
constexpr int TAB7_NUMS_XEND             = 1517;
constexpr int TAB7_NUMS_VEND             = 1518;
constexpr int TAB7_CMDB_CLOSE            = 1519;

// tab8: hidden settings: dirt accumulation, analog output switch, potentiometer
constexpr int TAB8_TEXT_TITLE         = 1601;
constexpr int TAB8_NUMS_DIRTLEVELA    = 1602;
constexpr int TAB8_NUMS_DIRTTIMEOUTA  = 1603;
constexpr int TAB8_NUMS_DIRTLEVELB    = 1604;
constexpr int TAB8_NUMS_DIRTTIMEOUTB  = 1605;
constexpr int TAB8_RING_SWITCH_ANAOUT = 1606;
constexpr int TAB8_NUMS_POTIUSAGE     = 1607;

// tab9: linearisation
constexpr int TAB9_TEXT_TITLE       = 1701;
constexpr int TAB9_BINS_LINEARA     = 1702;
constexpr int TAB9_TEXTBOX_DESCRA   = 1703;
constexpr int TAB9_STRING_FILEA     = 1704;
constexpr int TAB9_CMDB_LOADA       = 1705;
constexpr int TAB9_CMDB_CLEARA      = 1706;
constexpr int TAB9_BINS_LINEARB     = 1707;
constexpr int TAB9_TEXTBOX_DESCRB   = 1708;
constexpr int TAB9_STRING_FILEB     = 1709;
constexpr int TAB9_CMDB_LOADB       = 1710;
constexpr int TAB9_CMDB_CLEARB      = 1711;
constexpr int TAB9_CMDB_CHECK_LIN   = 1712;
constexpr int TAB9_CMDB_SEND_LIN    = 1713;
constexpr int TAB9_CMDB_REFRESH_LIN = 1714;

// tab10: hidden settings: filters, derivation, previous samples
constexpr int TAB10_TEXT_TITLE        = 801;
constexpr int TAB10_RING_FILTERA      = 802;
constexpr int TAB10_BINS_USEFILTERA   = 803;
constexpr int TAB10_BINS_DERIVATIONA  = 804;
constexpr int TAB10_NUMS_PREVSAMPLESA = 805;
constexpr int TAB10_RING_FILTERB      = 806;
constexpr int TAB10_BINS_USEFILTERB   = 807;
constexpr int TAB10_BINS_DERIVATIONB  = 808;
constexpr int TAB10_NUMS_PREVSAMPLESB = 809;

// tab11: hidden settings: counter effects
constexpr int TAB11_TEXT_TITLE          = 901;
constexpr int TAB11_NUMS_COUNTEREFFECTA = 902;
constexpr int TAB11_NUMS_COUNTEREFFECTB = 903;

// graph1: main display: numerics, trace selectors, strip chart, analog data graphs, I/O picture
constexpr int GRAPH1_NUM_RESULTA   = 101;
constexpr int GRAPH1_NUM_CNTRA     = 102;
constexpr int GRAPH1_NUM_RAWA      = 103;
constexpr int GRAPH1_NUM_MAXA      = 104;
constexpr int GRAPH1_NUM_VALA      = 105;
constexpr int GRAPH1_NUM_MINVALA   = 106;
constexpr int GRAPH1_NUM_MAXVALA   = 107;
constexpr int GRAPH1_NUM_FILTA     = 108;
constexpr int GRAPH1_NUM_DERIVA    = 109;
constexpr int GRAPH1_NUM_SMOOTHA   = 110;
constexpr int GRAPH1_NUM_RESULTB   = 111;
constexpr int GRAPH1_NUM_CNTRB     = 112;
constexpr int GRAPH1_NUM_RAWB      = 113;
constexpr int GRAPH1_NUM_MAXB      = 114;
constexpr int GRAPH1_NUM_VALB      = 115;
constexpr int GRAPH1_NUM_MINVALB   = 116;
constexpr int GRAPH1_NUM_MAXVALB   = 117;
constexpr int GRAPH1_NUM_FILTB     = 118;
constexpr int GRAPH1_NUM_DERIVB    = 119;
constexpr int GRAPH1_NUM_SMOOTHB   = 120;
constexpr int GRAPH1_BINS_RAWMAXA  = 121;
constexpr int GRAPH1_BINS_VALA     = 122;
constexpr int GRAPH1_TEXT_VALA     = 123;
constexpr int GRAPH1_TEXT_FILTA    = 124;
constexpr int GRAPH1_TEXT_DERIVA   = 125;
constexpr int GRAPH1_BINS_MINMAXA  = 126;
constexpr int GRAPH1_BINS_CNTRA    = 127;
constexpr int GRAPH1_BINS_RESULTA  = 128;
constexpr int GRAPH1_BINS_RAWMAXB  = 129;
constexpr int GRAPH1_BINS_VALB     = 130;
constexpr int GRAPH1_TEXT_VALB     = 131;
constexpr int GRAPH1_TEXT_FILTB    = 132;
constexpr int GRAPH1_TEXT_DERIVB   = 133;
constexpr int GRAPH1_BINS_MINMAXB  = 134;
constexpr int GRAPH1_BINS_CNTRB    = 135;
constexpr int GRAPH1_BINS_RESULTB  = 136;
constexpr int GRAPH1_RING_ZOOMX    = 137;
constexpr int GRAPH1_RING_ZOOMY    = 138;
constexpr int GRAPH1_STRIP_DATA    = 139;
constexpr int GRAPH1_GRAPH_ANALOGA = 140;
constexpr int GRAPH1_GRAPH_ANALOGB = 141;
constexpr int GRAPH1_LED_IN0       = 142;
constexpr int GRAPH1_LED_IN1       = 143;
constexpr int GRAPH1_LED_OUT0      = 144;
constexpr int GRAPH1_LED_OUT1      = 145;
constexpr int GRAPH1_LED_OUT2      = 146;
constexpr int GRAPH1_NUM_ANA       = 147;
constexpr int GRAPH1_CMDB_ACVIDEO  = 148;
constexpr int GRAPH1_STRING_STATUS = 149;
constexpr int GRAPH1_BAR_ACTIVITY1 = 150;
constexpr int GRAPH1_BAR_ACTIVITY2 = 151;
// One pair of analog data graphs shows the video curves and the linearisation curves.
constexpr int GRAPH1_GRAPH_VIDEOA  = GRAPH1_GRAPH_ANALOGA;
constexpr int GRAPH1_GRAPH_VIDEOB  = GRAPH1_GRAPH_ANALOGB;
constexpr int GRAPH1_GRAPH_LINEARA = GRAPH1_GRAPH_ANALOGA;
constexpr int GRAPH1_GRAPH_LINEARB = GRAPH1_GRAPH_ANALOGB;

// graph2: help text
constexpr int GRAPH2_CMDB_TAB_VISUAL = 201;
constexpr int GRAPH2_TEXTBOX_PANEL   = 202;
constexpr int GRAPH2_TEXTBOX_CONTROL = 203;
constexpr int GRAPH2_CMDB_VISUAL     = 204;
constexpr int GRAPH2_CMDB_CLOSE      = 205;

// graph3: help visualisation
constexpr int GRAPH3_CMDB_TAB_TEXT = 301;
constexpr int GRAPH3_STRIP_UPPER   = 302;
constexpr int GRAPH3_NUM_VALUE1    = 303;
constexpr int GRAPH3_NUM_VALUE2    = 304;
constexpr int GRAPH3_NUM_VALUE3    = 305;
constexpr int GRAPH3_NUM_VALUE4    = 306;
constexpr int GRAPH3_NUM_VALUE5    = 307;
constexpr int GRAPH3_NUM_VALUE6    = 308;
constexpr int GRAPH3_NUM_VALUE7    = 309;
constexpr int GRAPH3_NUM_VALUE8    = 310;
constexpr int GRAPH3_STRIP_LOWER   = 311;
constexpr int GRAPH3_CMDB_TEXT     = 312;
constexpr int GRAPH3_CBTN_RUNSTOP  = 313;
constexpr int GRAPH3_CMDB_CLOSE    = 314;
constexpr int GRAPH3_TIMER_ANI     = 315;

// popup1: column choice of the record file viewer
constexpr int POPUP1_LISTBOX_COLUMNS = 601;
constexpr int POPUP1_CMDB_OK         = 602;
constexpr int POPUP1_CMDB_CANCEL     = 603;

// clang-format on

struct userif_panel {
    int resource;
    const char* path; // resource path of the layout file
    const char* name; // objectName of the layout's top widget
};

struct userif_control {
    int resource;
    int id;
    const char* name; // objectName of the control's widget
};

extern const userif_panel userif_panels[];
extern const userif_control userif_controls[];
extern const int userif_panel_count, userif_control_count;
