#include "help/help_table.h"

#include <cstring>

// ---- panel texts ----------------------------------------------------------------------------

const char descr_panel_connect[] =
    "CONNECT:\n\nData is exchanged between the PC Zazed software and the control unit via a digital serial "
    "communication protocol. The lower layers of the protocol stack can be configured within this panel. "
    "Optionally RS232 or TCP/IP can be selected. IP address and port number (for TCP/IP) and baudrate (for "
    "RS232) can be choosen. Finally \"pairing\" (i.e.: initializing communication and establishing a "
    "connection between PC and control unit) can be done here.";
const char descr_panel_chanA[] =
    "CHANNEL A PARAMETER:\n\nThis panel contains parameter concerning only CHANNEL A. CHANNEL A is the "
    "digital representation of the analouge sensor connected to input socket marked \"CH A\" on the housing "
    "of the KORMELAN-3. The parameter controls listed here are: \n<CHANNEL>, <POWER>, <TRIGGERLEVEL>, "
    "<HYSTERESIS>, <NORMING>, <TIMER>, <TIMERSETTING>, <EXTERNAL TEACH>, <OUTPUT A>, <AVERAGE> and "
    "<EVALMODE>";
const char descr_panel_chanB[] =
    "CHANNEL B PARAMETER:\n\nThis panel contains parameter concerning only CHANNEL B. CHANNEL B is the "
    "digital representation of the analouge sensor connected to input socket marked \"CH B\" on the housing "
    "of the KORMELAN-3. The parameter controls listed here are: \n<CHANNEL>, <POWER>, <TRIGGERLEVEL>, "
    "<HYSTERESIS>, <NORMING>, <TIMER>, <TIMERSETTING>, <EXTERNAL TEACH>, <OUTPUT B>, <AVERAGE> and "
    "<EVALMODE>";
const char descr_panel_teachtable[] =
    "TEACHTABLES:\n\nThis panel contains two teachtables - one for each of the channels A and B. Each table "
    "contains the reference value and two values for upper and lower tolerance settings. A seperate <TEACH> "
    "button for each channel allows to replace the reference entry with the current channel's <RESULT> "
    "value.";
const char descr_panel_recorder[] =
    "DATA RECORDER:\n\nThe data recorder feature is designed to store the measurement values of the "
    "KORMELAN-3 to a data file on the local hard disk. The recorder can be configured to poll data at a "
    "fixed timing interval or when the user performs a <LEFT CLICK> on the <CAPTURE DATA FRAME> button. The "
    "number of data can be limited or unlimited. The recorder can also wait for the KORMELAN-3 to send data "
    "on a predefined event. The generated file can be freely named.";
const char descr_panel_oscillograph[] =
    "OSCILLOGRAPH:\n\nThe oscillograph is a feature implemented within the KORMELAN-3. On a predefined event "
    "the KORMELAN-3 stores the analouge data within a volatile buffer, that can be read and displayed by the "
    "Zazed software. The trigger condition, trigger position, time resolution and operation mode (ONE SHOT, "
    "NORMAL) can be defined by parameters.";
const char descr_panel_concernall[] =
    "GENERAL SETTINGS:\n\nContains parameter concerning both CHANNEL A and CHANNEL B and/or the operation of "
    "the KORMELAN-3. The parameter controls listed here are: \n<SCANRATE>, <SCANRATE SETTING>, <NORMING "
    "TIMECONST.>, <ANALOG OUTPUT>, <DIRT ACCU. OUTPUT>, <NBR. NORMINGCOND.> and <NORMING COND. 1/2/3>";
const char descr_panel_hidden[] =
    "HIDDEN SETTINGS:\n\nContains parameter that not available for normal operation: ";
const char descr_panel_linearinfo[] = "LINEARISATION:\n\nDisplays the current linearisation data saved in "
                                      "the control unit or in the currently loaded linearisation data file.";
const char descr_panel_main[] =
    "MAIN PANEL:\n\nThis panel contains the control buttons to start and stop data exchange with the "
    "KORMELAN-3 control unit. Also the buttons for sending and receiving parameteric data to or from the "
    "control unit are placed here.";
const char descr_panelselector[] =
    "PANEL SELECTOR:\n\n<LEFT CLICK> on one of the buttons to select a panel. The panels contain various "
    "input controls that allow you to view, change and set the representation of the parameter of the "
    "KORMELAN-3 control unit within the KORMELAN-3 Zazed software. To load the current parameter set from "
    "the control unit, perform a <LEFT CLICK> on the <GET> button. You can freely switch between input "
    "panels, while choosing the right parameters. Once satisfactorily configured, you can send the parameter "
    "back to the control unit by a <LEFT CLICK> on the <SEND> button.";
const char descr_help_on_traces[] =
    "While active, the KORMELAN-3 continuously gathers different information and measurement data. The PC "
    "Zazed software is able to display this data as a numerical value and optionally as a data trace in a "
    "continuous stripchart. The available data contain <RAW>, <VAL>, <MIN>, <MAX>, <CNTR>, and <RESULT> "
    "values for both channels A and B.";
const char descr_help_on_interface[] =
    "The KORMELAN-3 control unit can communicate with a PLC (Programmable Logic Controller) via two digital "
    "inputs, three digital and one analouge output. The current state of theese inputs/outputs can be "
    "monitored by a set of controls - if the PC Software is in \"RUN\"-mode and polls data from the control "
    "unit.";
const char descr_click_on_panel[] =
    "You performed a <RIGHT CLICK> on the panel background or no help is available the selected control "
    "input.\n\nDo <RIGHT CLICK> on a control to gain further information!";

// ---- control texts ----------------------------------------------------------------------------
// Texts that several rows share, or that other texts begin with.

#define STRIPCHART_TEXT                                                                                      \
    "Through this stripchart it is possible to continuously monitor the data of the KORMELAN-3 control "     \
    "unit. If in \"RUN\"-mode, the PC Zazed software polls the control unit and updates the numerical and "  \
    "graphical data."

#define TRACE_SWITCH_TEXT(data)                                                                              \
    STRIPCHART_TEXT "\n\nThis switch shows or hides the data trace of " data " in the stripchart."

#define LED_TEXT(what)                                                                                       \
    "View the status of the " what                                                                           \
    ". If LED is on, the state is \"1/ON\" and the voltage level is +24V on the input. If the LED is off, "  \
    "the state is \"0/OFF\" and the the voltage is 0V or GND."

namespace {

const char text_oscimode[] =
    "Select operational mode for the oscillograph function. Option 'Once' runs until one trigger event "
    "commenced. Option 'Auto' continues running after the trigger event has been read until the 'Stop' "
    "button is pressed. Finally option 'Off' turns off internal data recording to gain scanning speed.";

const char text_osciskip[] =
    "Select the sample interval. The control unit is able to buffer a maximum of 1k samples per channel "
    "each. To increase the time span of the recordable window you can specify a skip count with this "
    "parameter. The control unit will skip the specified number of samples before storing the next. Thus you "
    "can increase the time window by a factor of up to 20 (at an equivalent cost of resolution). A setting "
    "of '0' will disable recording. ";

const char text_linload[] =
    "Load linearisation data from file display the information stored within the data.";
const char text_linclear[] = "Clear selected linearisation data file.";

const char text_switch_anaout[] =
    "Select which/if external input switches between analog output sources. The analog output sources are "
    "listed as follows: \n"
    "analog source list entry 0: OFF\n"
    "analog source list entry 1: RESULT A\n"
    "analog source list entry 2: RESULT B\n"
    "analog source list entry 3: RESULT (A+B)/2\n"
    "analog source list entry 4: CNTR A\n"
    "analog source list entry 5: CNTR B\n"
    "analog source list entry 6: RAW A\n"
    "analog source list entry 7: RAW B\n"
    "analog source list entry 8: VAL A\n"
    "analog source list entry 9: VAL B\n"
    "analog source list entry 10: DERIV A\n"
    "analog source list entry 11: DERIV B\n"
    "\n"
    "If the external input IN0 is high, the selected analog source advances +1.\n"
    "If the external input IN1 is high, the selected analog source advances +2.\n"
    "If both inputs are high, the selected analog source advances +3.";

// The explanation breaks off where the stored text ends.
const char text_normtimeconstant[] =
    "Define the norming time constant.\n\nThe KORMELAN-3 normalizes the unnormalized <RAW> data by a norm "
    "factor, so that the normalized <VAL> data spans the whole 12-bit range from 0 to 4095. The norm factor "
    "is found iteratively from the maximum <RAW> value: the maximum follows every new peak at once and is "
    "lowered step by step while no new peak occurs. The norming time constant is the interval between two of "
    "these norming steps. This is done by ";

} // namespace

// ---- the table ----------------------------------------------------------------------------------

const help_row help_rows[] = {
    // Main window: the mode, parameter and target buttons, the panel selector.
    {"mpanel", "", descr_panel_main, descr_click_on_panel, HELP_NO_VISUAL},
    {"mpanel", "CBTN_RUN", descr_panel_main,
     "Pressing the <RUN> button enters the \"RUN\"-mode. The PC Zazed software continuously polls the "
     "measurement data of the KORMELAN-3 control unit and updates the numerical and graphical data on the "
     "display. While in \"RUN\"-mode, parameter can still be sent to or read from the control unit, and the "
     "data recorder can store the measurement data to a file. Press the <STOP> button to exit the "
     "\"RUN\"-mode.",
     HELP_NO_VISUAL},
    {"mpanel", "CBTN_VIDEO", descr_panel_main,
     "Pressing the <VIDEO> button enters the \"VIDEO\"-mode. On a predefined event the KORMELAN-3 stores the "
     "analog data of the channels within its oscillograph buffer. The PC Zazed software reads these "
     "sequences of samples and displays them on the main display and on the oscillograph panel. Trigger "
     "condition, trigger position and operation mode are set on the <OSCILLOGRAPH> panel. Press the <STOP> "
     "button to exit the \"VIDEO\"-mode.",
     HELP_NO_VISUAL},
    {"mpanel", "CBTN_STOP", descr_panel_main,
     "Pressing the <STOP> button exits the \"RUN\"- or \"VIDEO\"-mode and stops a data exchange with the "
     "control unit that is still waiting. A running recording of the data recorder is stopped as well.",
     HELP_NO_VISUAL},
    {"mpanel", "CBTN_SEND", descr_panel_main,
     "Pressing the <SEND> button sends the parameter set shown on the panels to the selected target: the "
     "volatile storage <RAM> or the non-volatile storage <ROM> of the control unit, or a parameter file on "
     "the local hard disk <FILE>. The result is shown in the status line.",
     HELP_NO_VISUAL},
    {"mpanel", "CBTN_READ", descr_panel_main,
     "Pressing the <READ> button reads the parameter set from the selected target: the volatile storage "
     "<RAM> or the non-volatile storage <ROM> of the control unit, or a parameter file on the local hard "
     "disk <FILE>. The parameter are then displayed on the panels.",
     HELP_NO_VISUAL},
    {"mpanel", "TOGGLE_RAM", descr_panel_main,
     "Select the volatile storage (RAM) of the control unit as target of the <SEND> and <READ> buttons. "
     "Parameter sent to the RAM are used at once, but are lost when the control unit is switched off.",
     HELP_NO_VISUAL},
    {"mpanel", "TOGGLE_ROM", descr_panel_main,
     "Select the non-volatile storage (ROM) of the control unit as target of the <SEND> and <READ> buttons. "
     "Parameter sent to the ROM are used at once and are kept when the control unit is switched off.",
     HELP_NO_VISUAL},
    {"mpanel", "TOGGLE_FILE", descr_panel_main,
     "Select a parameter file on the local hard disk as target of the <SEND> and <READ> buttons. <SEND> "
     "saves the parameter set to a file, <READ> loads it from a file. No connection to the control unit is "
     "needed for this target.",
     HELP_NO_VISUAL},
    {"mpanel", "CBTN_HELP", descr_panel_main,
     "Pressing the <HELP> button switches the tooltips on or off. While on, a short description is shown "
     "when the mouse rests on a control. A <RIGHT CLICK> on any panel or control gives help at any time.",
     HELP_NO_VISUAL},
    {"mpanel", "CBTN_SEL_CONNECT", descr_panelselector, descr_panel_connect, HELP_NO_VISUAL},
    {"mpanel", "CBTN_SEL_CHANA", descr_panelselector, descr_panel_chanA, HELP_NO_VISUAL},
    {"mpanel", "CBTN_SEL_CHANB", descr_panelselector, descr_panel_chanB, HELP_NO_VISUAL},
    {"mpanel", "CBTN_SEL_TEACH", descr_panelselector, descr_panel_teachtable, HELP_NO_VISUAL},
    {"mpanel", "CBTN_SEL_RECORDER", descr_panelselector, descr_panel_recorder, HELP_NO_VISUAL},
    {"mpanel", "CBTN_SEL_OSCI", descr_panelselector, descr_panel_oscillograph, HELP_NO_VISUAL},
    {"mpanel", "CBTN_SEL_GENERAL", descr_panelselector, descr_panel_concernall, HELP_NO_VISUAL},
    {"mpanel", "CBTN_SEL_LINEAR", descr_panelselector, descr_click_on_panel, HELP_NO_VISUAL},
    {"mpanel", "CBTN_SEL_HIDDEN", descr_panelselector, descr_click_on_panel, HELP_NO_VISUAL},
    {"mpanel", "CBTN_SEL_FILTER", descr_panelselector, descr_click_on_panel, HELP_NO_VISUAL},
    {"mpanel", "CBTN_SEL_COUNTER", descr_panelselector, descr_click_on_panel, HELP_NO_VISUAL},

    // Connect panel.
    {"tab1", "", descr_panel_connect, descr_click_on_panel, HELP_NO_VISUAL},
    {"tab1", "CMDB_TRYCONNECT", descr_panel_connect,
     "Pressing the <TRY TO CONNECT> button starts the pairing procedure with the target control unit. With "
     "RS232 the selected COM port is opened at the selected baudrate, with TCP/IP the connection to the "
     "selected server is opened. Then the communication with the control unit is tested and its version info "
     "is read and displayed in the status line. If the versions of the controller firmware and the PC "
     "software differ, you are asked whether to continue anyway. Finally a <LEFT CLICK> on the <ACCEPT> "
     "button pairs the PC with the control unit.",
     HELP_NO_VISUAL},
    {"tab1", "CMDB_COMACCEPT", descr_panel_connect, "", HELP_NO_VISUAL},
    {"tab1", "CMDB_CHANGEBAUD", descr_panel_connect,
     "Select the communication parameter 'baudrate'. A frame of 8 bytes takes 8 times 10 bits divided by the "
     "baudrate to be transmitted: 8.3 ms at 9600, 4.2 ms at 19200, 2.1 ms at 38400, 1.4 ms at 57600 and 0.7 "
     "ms at 115200 baud. Transmission errors are more likely at higher baudrates, and communication slows "
     "down the control unit. The <CHANGE BAUD> button sets the control unit to the selected baudrate and "
     "connects again at the new rate.",
     HELP_NO_VISUAL},
    {"tab1", "COMB_SELPORT", descr_panel_connect,
     "Select the COM port to connect to. The port can be a hardware port of the PC or a virtual one, e.g. "
     "provided by a USB-to-RS232 adapter. The port number can be typed in as a number or as COM#, e.g. "
     "typing 5 selects COM5. Any other input is an error and resets the field to the last port used.",
     HELP_NO_VISUAL},
    {"tab1", "COMB_IPADDRESS", descr_panel_connect,
     "Select the IP address to connect to. It is the address of the server that relays the control unit; its "
     "port number is entered in the <TCP PORT> field.",
     HELP_NO_VISUAL},
    {"tab1", "TEXT_PANELID", descr_panel_connect,
     "Enter a text to describe the connected sensor or it's function or position. The text will be displayed "
     "in the panel title and stored in any recorded files.",
     HELP_NO_VISUAL},
    {"tab1", "PWDC_PASSWORD", descr_panel_connect,
     "Type in the password to access hidden parameter or setting in the KORMELAN-3 Zazed software. The "
     "password field hides again when a password has been entered or the panel is switched.",
     HELP_NO_VISUAL},
    {"tab1", "TEXT_CONNECTSTAT", descr_panel_connect,
     "The log window shows the last actions concerning the connection of the software to the control unit or "
     "the failure thereof. A <LEFT DOUBLE CLICK> clears the log window.",
     HELP_NO_VISUAL},
    {"tab1", "CMDB_EXPORT_HWFILE", descr_panel_connect,
     "Export information about the connected hardware into a file. Send this file to the manufacturer for "
     "support.",
     HELP_NO_VISUAL},

    // Parameter panels: their controls show the panel's help.
    {"tab2", "", descr_panel_chanA, descr_click_on_panel, HELP_NO_VISUAL},
    {"tab3", "", descr_panel_chanB, descr_click_on_panel, HELP_NO_VISUAL},
    {"tab4", "", descr_panel_teachtable, descr_click_on_panel, HELP_NO_VISUAL},

    // Data recorder.
    {"tab5", "", descr_panel_recorder, descr_click_on_panel, HELP_NO_VISUAL},
    {"tab5", "CMDB_SHOWGRAPH", descr_panel_recorder,
     "You can view the recorded data at any time. If you wish so, please press the <SHOW GRAPH> button. You "
     "can choose what data to display by choosing the appropriate checkbox in the upcoming popup.",
     HELP_NO_VISUAL},

    // Oscillograph settings.
    {"tab6", "", descr_panel_oscillograph, descr_click_on_panel, HELP_NO_VISUAL},
    {"tab6", "RING_MODEA", descr_panel_oscillograph, text_oscimode, HELP_NO_VISUAL},
    {"tab6", "RING_MODEB", descr_panel_oscillograph, text_oscimode, HELP_NO_VISUAL},
    {"tab6", "NUMS_SKIPA", descr_panel_oscillograph, text_osciskip, HELP_NO_VISUAL},
    {"tab6", "NUMS_SKIPB", descr_panel_oscillograph, text_osciskip, HELP_NO_VISUAL},

    // General settings.
    {"tab7", "", descr_panel_concernall, descr_click_on_panel, HELP_NO_VISUAL},
    {"tab7", "RING_SCANSETTING", descr_panel_concernall,
     "Select if to run at MAXIMUM scanrate. When running as fast as possible, a constant scanrate can not be "
     "guaranteed. The averaged frequency can be monitored on the 'Freq.:kHz' display.",
     HELP_NO_VISUAL},
    {"tab7", "NUMS_SCANRATE", descr_panel_concernall,
     "The interval at which new analog data is to be sampled from the analog inputs CHAN A and CHAN B. The "
     "minimum interval depends on the number of inputs in use and on the processing the control unit does on "
     "every sample. For one channel only, a minimum scanrate of 20µs can be selected. For two channel-mode a "
     "minimum scanrate of 30µs is to be selected. Insufficient scanrate settings can cause the controller "
     "skip samples.",
     HELP_NO_VISUAL},
    {"tab7", "NUMS_NORMTIMECONSTANT", descr_panel_concernall, text_normtimeconstant, HELP_RAW_NORM},

    // Hidden settings: only the dirt and analog output panel shows help.
    {"tab8", "", descr_panel_hidden, descr_click_on_panel, HELP_NO_VISUAL},
    {"tab8", "RING_SWITCH_ANAOUT", descr_panel_hidden, text_switch_anaout, HELP_NO_VISUAL},
    {"tab10", "", nullptr, nullptr, HELP_SWALLOW},
    {"tab11", "", nullptr, nullptr, HELP_SWALLOW},

    // Linearisation.
    {"tab9", "", descr_panel_linearinfo, descr_click_on_panel, HELP_NO_VISUAL},
    {"tab9", "CMDB_LOADA", descr_panel_linearinfo, text_linload, HELP_NO_VISUAL},
    {"tab9", "CMDB_LOADB", descr_panel_linearinfo, text_linload, HELP_NO_VISUAL},
    {"tab9", "CMDB_CLEARA", descr_panel_linearinfo, text_linclear, HELP_NO_VISUAL},
    {"tab9", "CMDB_CLEARB", descr_panel_linearinfo, text_linclear, HELP_NO_VISUAL},
    {"tab9", "CMDB_REFRESH_LIN", descr_panel_linearinfo,
     "Load linearisation info from the control unit and display data on the user interface.", HELP_NO_VISUAL},
    {"tab9", "CMDB_SEND_LIN", descr_panel_linearinfo,
     "Send the linearisation data and info to the non-volatile storage on the control unit.", HELP_NO_VISUAL},

    // Oscillograph window: its own controls show the oscillograph's help, the trace
    // selectors (shared with the main display) the strip chart's.
    {"osci1", "", descr_panel_oscillograph, descr_click_on_panel, HELP_NO_VISUAL},
    {"osci1", "BINS_RAWMAXA", descr_help_on_traces, STRIPCHART_TEXT, HELP_NO_VISUAL},
    {"osci1", "BINS_VALA", descr_help_on_traces, STRIPCHART_TEXT, HELP_NO_VISUAL},
    {"osci1", "BINS_MINMAXA", descr_help_on_traces, STRIPCHART_TEXT, HELP_NO_VISUAL},
    {"osci1", "BINS_CNTRA", descr_help_on_traces, STRIPCHART_TEXT, HELP_NO_VISUAL},
    {"osci1", "BINS_RESULTA", descr_help_on_traces, STRIPCHART_TEXT, HELP_NO_VISUAL},
    {"osci1", "BINS_RAWMAXB", descr_help_on_traces, STRIPCHART_TEXT, HELP_NO_VISUAL},
    {"osci1", "BINS_VALB", descr_help_on_traces, STRIPCHART_TEXT, HELP_NO_VISUAL},
    {"osci1", "BINS_MINMAXB", descr_help_on_traces, STRIPCHART_TEXT, HELP_NO_VISUAL},
    {"osci1", "BINS_CNTRB", descr_help_on_traces, STRIPCHART_TEXT, HELP_NO_VISUAL},
    {"osci1", "BINS_RESULTB", descr_help_on_traces, STRIPCHART_TEXT, HELP_NO_VISUAL},
    {"osci1", "RING_ZOOMX", descr_help_on_traces, STRIPCHART_TEXT, HELP_NO_VISUAL},
    {"osci1", "RING_ZOOMY", descr_help_on_traces, STRIPCHART_TEXT, HELP_NO_VISUAL},

    // Main display: measurement numerics.
    {"graph1", "", descr_help_on_traces, descr_click_on_panel, HELP_NO_VISUAL},
    {"graph1", "NUM_RAWA", descr_help_on_traces,
     "The <RAW A> data displays the unnormalized digital representation of the analouge sensor connected to "
     "the input socket marked \"CH A\". It ranges from 0 to 4095 (12 bits).",
     HELP_RAW_NORM},
    {"graph1", "NUM_RAWB", descr_help_on_traces,
     "The <RAW B> data displays the unnormalized digital representation of the analouge sensor connected to "
     "the input socket marked \"CH B\". It ranges from 0 to 4095 (12 bits).",
     HELP_RAW_NORM},
    {"graph1", "NUM_MAXA", descr_help_on_traces,
     "The <MAX A> data displays the maximum unnormalized digital representation of the analouge sensor "
     "connected to the input socket marked \"CH A\". It is the maximum of the <RAW A> data, from which the "
     "KORMELAN-3 derives the norm factor of the channel.",
     HELP_RAW_NORM},
    {"graph1", "NUM_MAXB", descr_help_on_traces,
     "The <MAX B> data displays the maximum unnormalized digital representation of the analouge sensor "
     "connected to the input socket marked \"CH B\". It is the maximum of the <RAW B> data, from which the "
     "KORMELAN-3 derives the norm factor of the channel.",
     HELP_RAW_NORM},
    {"graph1", "NUM_VALA", descr_help_on_traces,
     "The <VAL A> data displays the normalized digital representation of the analouge sensor connected to "
     "the input socket marked \"CH A\".\n\nThe <RAW A> data is multiplied by a norm factor, which is derived "
     "from the maximum <RAW A> value, so that the normalized data spans the whole range from 0 to "
     "4095.\n\nThe formula is: <VAL A> = <RAW A> * (4095 / max{<RAW A>} )",
     HELP_RAW_NORM},
    {"graph1", "NUM_VALB", descr_help_on_traces,
     "The <VAL B> data displays the normalized digital representation of the analouge sensor connected to "
     "the input socket marked \"CH B\".\n\nThe <RAW B> data is multiplied by a norm factor, which is derived "
     "from the maximum <RAW B> value, so that the normalized data spans the whole range from 0 to "
     "4095.\n\nThe formula is: <VAL B> = <RAW B> * (4095 / max{<RAW B>} )",
     HELP_RAW_NORM},
    {"graph1", "NUM_MINVALA", descr_help_on_traces,
     "The <MIN VAL A> data displays the minimal value of the <VAL A> data.\n\nThe formula is: <MIN VAL A> = "
     "min{<VAL A>}\n\nOn each reset event: <MIN VAL A> = <VAL A>",
     HELP_MIN_MAX},
    {"graph1", "NUM_MINVALB", descr_help_on_traces,
     "The <MIN VAL B> data displays the minimal value of the <VAL B> data.\n\nThe formula is: <MIN VAL B> = "
     "min{<VAL B>}\n\nOn each reset event: <MIN VAL B> = <VAL B>",
     HELP_MIN_MAX},
    {"graph1", "NUM_MAXVALA", descr_help_on_traces,
     "The <MAX VAL A> data displays the maximal value of the <VAL A> data.\n\nThe formula is: <MAX VAL A> = "
     "max{<VAL A>}\n\nOn each reset event: <MAX VAL A> = <VAL A>",
     HELP_MIN_MAX},
    {"graph1", "NUM_MAXVALB", descr_help_on_traces,
     "The <MAX VAL B> data displays the maximal value of the <VAL B> data.\n\nThe formula is: <MAX VAL B> = "
     "max{<VAL B>}\n\nOn each reset event: <MAX VAL B> = <VAL B>",
     HELP_MIN_MAX},
    {"graph1", "NUM_CNTRA", descr_help_on_traces,
     "The <CNTR A> data displays the number of specified events counted by the KORMELAN-3 since the last "
     "reset event. The type of event to be counted is selected on the channel A panel. The display is "
     "limited to 4095.",
     HELP_TRIGG_COUNT},
    {"graph1", "NUM_CNTRB", descr_help_on_traces,
     "The <CNTR B> data displays the number of specified events counted by the KORMELAN-3 since the last "
     "reset event. The type of event to be counted is selected on the channel B panel. The display is "
     "limited to 4095.",
     HELP_TRIGG_COUNT},
    {"graph1", "NUM_RESULTA", descr_help_on_traces,
     "The <RESULT A> data is the result of the application of the operation/selection specified with the "
     "<EVALMODE A> parameter. Depending on the evaluation mode, the result is derived from the data of "
     "channel A only or from the data of both channels A and B combined.",
     HELP_NO_VISUAL},
    {"graph1", "NUM_RESULTB", descr_help_on_traces,
     "The <RESULT B> data is the result of the application of the operation/selection specified with the "
     "<EVALMODE B> parameter. Depending on the evaluation mode, the result is derived from the data of "
     "channel B only or from the data of both channels A and B combined.",
     HELP_NO_VISUAL},
    {"graph1", "NUM_FILTA", nullptr, nullptr, HELP_SHOW_AGAIN},
    {"graph1", "NUM_DERIVA", nullptr, nullptr, HELP_SHOW_AGAIN},
    {"graph1", "NUM_SMOOTHA", nullptr, nullptr, HELP_SHOW_AGAIN},
    {"graph1", "NUM_FILTB", nullptr, nullptr, HELP_SHOW_AGAIN},
    {"graph1", "NUM_DERIVB", nullptr, nullptr, HELP_SHOW_AGAIN},
    {"graph1", "NUM_SMOOTHB", nullptr, nullptr, HELP_SHOW_AGAIN},

    // Main display: strip chart and its trace selectors.
    {"graph1", "STRIP_DATA", descr_help_on_traces, STRIPCHART_TEXT, HELP_NO_VISUAL},
    {"graph1", "BINS_RAWMAXA", descr_help_on_traces, TRACE_SWITCH_TEXT("the <RAW A> and <MAX A> data"),
     HELP_NO_VISUAL},
    {"graph1", "BINS_VALA", descr_help_on_traces, TRACE_SWITCH_TEXT("the <VAL A> data"), HELP_NO_VISUAL},
    {"graph1", "BINS_MINMAXA", descr_help_on_traces,
     TRACE_SWITCH_TEXT("the <MIN VAL A> and <MAX VAL A> data"), HELP_NO_VISUAL},
    {"graph1", "BINS_CNTRA", descr_help_on_traces, TRACE_SWITCH_TEXT("the <CNTR A> data"), HELP_NO_VISUAL},
    {"graph1", "BINS_RESULTA", descr_help_on_traces,
     TRACE_SWITCH_TEXT("the <RESULT A> data with the reference value and the tolerances of teachtable A"),
     HELP_NO_VISUAL},
    {"graph1", "BINS_RAWMAXB", descr_help_on_traces, TRACE_SWITCH_TEXT("the <RAW B> and <MAX B> data"),
     HELP_NO_VISUAL},
    {"graph1", "BINS_VALB", descr_help_on_traces, TRACE_SWITCH_TEXT("the <VAL B> data"), HELP_NO_VISUAL},
    {"graph1", "BINS_MINMAXB", descr_help_on_traces,
     TRACE_SWITCH_TEXT("the <MIN VAL B> and <MAX VAL B> data"), HELP_NO_VISUAL},
    {"graph1", "BINS_CNTRB", descr_help_on_traces, TRACE_SWITCH_TEXT("the <CNTR B> data"), HELP_NO_VISUAL},
    {"graph1", "BINS_RESULTB", descr_help_on_traces,
     TRACE_SWITCH_TEXT("the <RESULT B> data with the reference value and the tolerances of teachtable B"),
     HELP_NO_VISUAL},
    {"graph1", "RING_ZOOMX", descr_help_on_traces,
     STRIPCHART_TEXT
     "\n\nThis ring selects how many data points the stripchart and the oscillograph panel show across.",
     HELP_NO_VISUAL},
    {"graph1", "RING_ZOOMY", descr_help_on_traces,
     STRIPCHART_TEXT "\n\nThis ring selects the margin shown below and above the data of the stripchart, and "
                     "the vertical span of the oscillograph panel.",
     HELP_NO_VISUAL},
    {"graph1", "CMDB_ACVIDEO", descr_help_on_traces, "Display seperate panel for 'VIDEO' data.",
     HELP_NO_VISUAL},
    // The analog data graphs take right clicks for zooming.
    {"graph1", "GRAPH_ANALOGA", nullptr, nullptr, HELP_SWALLOW},
    {"graph1", "GRAPH_ANALOGB", nullptr, nullptr, HELP_SWALLOW},

    // Main display: controller I/O picture.
    {"graph1", "LED_IN0", descr_help_on_interface, LED_TEXT("digital input IN0"), HELP_NO_VISUAL},
    {"graph1", "LED_IN1", descr_help_on_interface, LED_TEXT("digital input IN1"), HELP_NO_VISUAL},
    {"graph1", "LED_OUT0", descr_help_on_interface, LED_TEXT("digital output OUT0"), HELP_NO_VISUAL},
    {"graph1", "LED_OUT1", descr_help_on_interface, LED_TEXT("digital output OUT1"), HELP_NO_VISUAL},
    {"graph1", "LED_OUT2", descr_help_on_interface, LED_TEXT("digital output OUT2"), HELP_NO_VISUAL},
    {"graph1", "NUM_ANA", descr_help_on_interface,
     "View the status of the analouge output ANA. The stripchart represents the current output level, which "
     "can be either a 0 to 10 Volt voltage output or a 4 to 20 Milliampere current output.",
     HELP_NO_VISUAL},

    // The help panels themselves.
    {"graph2", "", nullptr, nullptr, HELP_SWALLOW},
    {"graph3", "", nullptr, nullptr, HELP_SWALLOW},
};

const int help_row_count = static_cast<int>(sizeof help_rows / sizeof help_rows[0]);

#undef STRIPCHART_TEXT
#undef TRACE_SWITCH_TEXT
#undef LED_TEXT

// ---- lookup -----------------------------------------------------------------------------------

const help_screen* help_template(help_visual visual) {
    switch (visual) {
    case HELP_NO_VISUAL:
        return &std_helpscr_noVisual;
    case HELP_RAW_NORM:
        return &helpscr_RAW_NORM;
    case HELP_MIN_MAX:
        return &helpscr_MIN_MAX;
    case HELP_TRIGG_COUNT:
        return &helpscr_TRIGG_COUNT;
    case HELP_SHOW_AGAIN:
    case HELP_SWALLOW:
        break;
    }
    return nullptr;
}

namespace {

const help_row* find_row(const char* panel, const char* control) {
    for (int i = 0; i < help_row_count; i++) {
        if (std::strcmp(help_rows[i].panel, panel) == 0 && std::strcmp(help_rows[i].control, control) == 0)
            return &help_rows[i];
    }
    return nullptr;
}

} // namespace

int help_lookup(const char* panel, const char* control, help_topic* out) {
    if (!panel) return HELP_UNKNOWN_PANEL;
    if (!control) control = "";
    const help_row* row = find_row(panel, control);
    const bool own = row != nullptr;
    if (!own) row = find_row(panel, "");
    if (!row) return HELP_UNKNOWN_PANEL;
    if (row->visual == HELP_SWALLOW) return HELP_NOTHING;
    if (out) {
        if (own)
            *out = {row->panel_text, row->control_text, row->visual};
        else
            *out = {row->panel_text, descr_click_on_panel, HELP_NO_VISUAL};
    }
    return own ? HELP_OWN_ROW : HELP_PANEL_ROW;
}

int help_prepare(const char* panel, const char* control, help_screen* active) {
    if (!active) return HELP_UNKNOWN_PANEL;
    help_topic topic;
    const int found = help_lookup(panel, control, &topic);
    if (found <= 0 || topic.visual == HELP_SHOW_AGAIN) return found;
    copy_helpscr(active, help_template(topic.visual));
    help_set_texts(active, topic.panel_text, topic.control_text);
    return found;
}
