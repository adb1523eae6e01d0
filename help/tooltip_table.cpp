#include "help/tooltip_table.h"

#include <cstring>

const char tooltip_suffix[] = "<RIGHT CLICK> for help!";

const tooltip_row tooltip_rows[TOOLTIP_ROWS] = {
    // Main window.
    {"mpanel", "CBTN_RUN", "Enter \"RUN\"-mode. <RIGHT CLICK> for help!"},
    {"mpanel", "CBTN_VIDEO", "Enter \"VIDEO\"-mode. <RIGHT CLICK> for help!"},
    {"mpanel", "CBTN_STOP", "Exit \"RUN\"-mode. <RIGHT CLICK> for help!"},
    {"mpanel", "CBTN_SEND", "Send parameter to control unit. <RIGHT CLICK> for help!"},
    {"mpanel", "CBTN_READ", "Read parameter from control unit. <RIGHT CLICK> for help!"},
    {"mpanel", "TOGGLE_RAM", "Select volatile storage. <RIGHT CLICK> for help!"},
    {"mpanel", "TOGGLE_ROM", "Select non-volatile storage. <RIGHT CLICK> for help!"},
    {"mpanel", "TOGGLE_FILE", "Select local hard disk storage. <RIGHT CLICK> for help!"},
    {"mpanel", "CBTN_SEL_CONNECT", "Display connection dialog panel. <RIGHT CLICK> for help!"},
    {"mpanel", "CBTN_SEL_CHANA", "Display channel A parameter panel. <RIGHT CLICK> for help!"},
    {"mpanel", "CBTN_SEL_CHANB", "Display channel B parameter panel. <RIGHT CLICK> for help!"},
    {"mpanel", "CBTN_SEL_TEACH", "Display teach table panel. <RIGHT CLICK> for help!"},
    {"mpanel", "CBTN_SEL_RECORDER", "Display data recorder panel. <RIGHT CLICK> for help!"},
    {"mpanel", "CBTN_SEL_OSCI", "Display oscillograph configuration panel. \n<RIGHT CLICK> for help!"},
    {"mpanel", "CBTN_SEL_GENERAL", "Display general parameter panel. <RIGHT CLICK> for help!"},

    // Connect panel.
    {"tab1", "RING_COMMODE", "Select physical communication protocol. \n<RIGHT CLICK> for help!"},
    {"tab1", "RING_BAUDRATE", "Select RS232 communication baudrate. <RIGHT CLICK> for help!"},
    {"tab1", "STRING_TCPPORT", "Enter TCP connection port number. <RIGHT CLICK> for help!"},
    {"tab1", "CMDB_TRYCONNECT",
     "Try pairing with analog sensor \nusing current settings. \n<RIGHT CLICK> for help!"},
    {"tab1", "TEXT_CONNECTSTAT", "Log window. <RIGHT CLICK> for help!"},
    {"tab1", "CMDB_COMACCEPT",
     "Confirm connection to sensor \nwith current settings. \n<RIGHT CLICK> for help!"},
    {"tab1", "CMDB_CHANGEBAUD",
     "Change RS232 baudrate for current \nsensor <--> PC connection. \n<RIGHT CLICK> for help!"},
    {"tab1", "CMDB_EXPORT_HWFILE", "Generate a file with sensor hardware info. \n<RIGHT CLICK> for help!"},
    {"tab1", "TEXT_PANELID",
     "Enter description/lable for \ncurrent sensor <--> PC connection. \n<RIGHT CLICK> for help!"},
    {"tab1", "PWDC_PASSWORD", "Enter a password to gain extended functions. \n<RIGHT CLICK> for help!"},

    // Channel A panel.
    {"tab2", "RING_CHAN",
     "Activate/deactivate channel \nand select analog source. \n<RIGHT CLICK> for help!"},
    {"tab2", "NUMS_POWER", "Configure laser intensity of analog sensor. \n<RIGHT CLICK> for help!"},
    {"tab2", "BINS_NORM", "Enable/disable normalisation for this channel. \n<RIGHT CLICK> for help!"},
    {"tab2", "NUMS_TRIGGER", "Set trigger level threshold for this channel. \n<RIGHT CLICK> for help!"},
    {"tab2", "RING_TIMERCOND", "Specify the condition that starts the timer. \n<RIGHT CLICK> for help!"},
    {"tab2", "BINS_TIMER", "Enable/disable delay timer. <RIGHT CLICK> for help!"},
    {"tab2", "NUMS_TIMER", "Set delay timer interval. <RIGHT CLICK> for help!"},
    {"tab2", "NUMS_HYSTERESIS",
     "Select a hysteresis value to use \nwith the current trigger level. \n<RIGHT CLICK> for help!"},
    {"tab2", "RING_OUTCOND",
     "Enable, disable and select usage of \ndigital output with this channel. \n<RIGHT CLICK> for help!"},
    {"tab2", "RING_HOLDTIME",
     "Specify the minimal time the digital \noutput is kept high when switching on. \n<RIGHT CLICK> for "
     "help!"},
    {"tab2", "RING_COUNTERCOND", "Specifiy the type of event to be counted. \n<RIGHT CLICK> for help!"},
    {"tab2", "NUMS_AVERAGING", "Select depth of averaging of result value. \n<RIGHT CLICK> for help!"},
    {"tab2", "RING_EVALMODE",
     "Select operation to perform \non data to get result value. \n<RIGHT CLICK> for help!"},
    {"tab2", "RING_EVALSPAN", "Specify when to start and stopp evaluation. \n<RIGHT CLICK> for help!"},
    {"tab2", "RING_EVALSTART", "Select start condition for evaluation. \n<RIGHT CLICK> for help!"},
    {"tab2", "RING_EVALSTOP", "Select stopp condition for evaluation. \n<RIGHT CLICK> for help!"},

    // Channel B panel: the texts of channel A.
    {"tab3", "RING_CHAN",
     "Activate/deactivate channel \nand select analog source. \n<RIGHT CLICK> for help!"},
    {"tab3", "NUMS_POWER", "Configure laser intensity of analog sensor. \n<RIGHT CLICK> for help!"},
    {"tab3", "BINS_NORM", "Enable/disable normalisation for this channel. \n<RIGHT CLICK> for help!"},
    {"tab3", "NUMS_TRIGGER", "Set trigger level threshold for this channel. \n<RIGHT CLICK> for help!"},
    {"tab3", "RING_TIMERCOND", "Specify the condition that starts the timer. \n<RIGHT CLICK> for help!"},
    {"tab3", "BINS_TIMER", "Enable/disable delay timer. <RIGHT CLICK> for help!"},
    {"tab3", "NUMS_TIMER", "Set delay timer interval. <RIGHT CLICK> for help!"},
    {"tab3", "NUMS_HYSTERESIS",
     "Select a hysteresis value to use \nwith the current trigger level. \n<RIGHT CLICK> for help!"},
    {"tab3", "RING_OUTCOND",
     "Enable, disable and select usage of \ndigital output with this channel. \n<RIGHT CLICK> for help!"},
    {"tab3", "RING_HOLDTIME",
     "Specify the minimal time the digital \noutput is kept high when switching on. \n<RIGHT CLICK> for "
     "help!"},
    {"tab3", "RING_COUNTERCOND", "Specifiy the type of event to be counted. \n<RIGHT CLICK> for help!"},
    {"tab3", "NUMS_AVERAGING", "Select depth of averaging of result value. \n<RIGHT CLICK> for help!"},
    {"tab3", "RING_EVALMODE",
     "Select operation to perform \non data to get result value. \n<RIGHT CLICK> for help!"},
    {"tab3", "RING_EVALSPAN", "Specify when to start and stopp evaluation. \n<RIGHT CLICK> for help!"},
    {"tab3", "RING_EVALSTART", "Select start condition for evaluation. \n<RIGHT CLICK> for help!"},
    {"tab3", "RING_EVALSTOP", "Select stopp condition for evaluation. \n<RIGHT CLICK> for help!"},

    // Teach tables.
    {"tab4", "TABLE_TEACHA", "Configure IO/NIO settings for channel A. \n<RIGHT CLICK> for help!"},
    {"tab4", "TABLE_TEACHB", "Configure IO/NIO settings for channel B. \n<RIGHT CLICK> for help!"},
    {"tab4", "CMDB_TEACHA", "Set reference value of IO/NIO area for channel A. \n<RIGHT CLICK> for help!"},
    {"tab4", "CMDB_TEACHB", "Set reference value of IO/NIO area for channel B. \n<RIGHT CLICK> for help!"},
    {"tab4", "NUMS_EXTTEACHA",
     "Enable, disable and select \nexternal teach for this channel. \n<RIGHT CLICK> for help!"},
    {"tab4", "NUMS_EXTTEACHB",
     "Enable, disable and select \nexternal teach for this channel. \n<RIGHT CLICK> for help!"},

    // Data recorder.
    {"tab5", "EDIT_SELECTRECMODE", "Select operation method of data recorder. \n<RIGHT CLICK> for help!"},
    {"tab5", "NUMS_INTERVAL",
     "Set time between two recorded data \npoints. (Only for automatic modes.) \n<RIGHT CLICK> for help!"},
    {"tab5", "NUMS_NUMBER",
     "Set number of data points to poll. \n(Only for <AUTO LIMITED> mode.) \n<RIGHT CLICK> for help!"},
    {"tab5", "STRING_TIME",
     "Remaining time until automatic \nrecording completes. \n<RIGHT CLICK> for help!"},
    {"tab5", "STRING_COUNT", "Number of data points recorded/remaining. \n<RIGHT CLICK> for help!"},
    {"tab5", "RING_AUTOSEND",
     "Specify the condition on which the \ncontrol unit sends a data frame. \n<RIGHT CLICK> for help!"},
    {"tab5", "CBTN_START", "Start automatic recording. <RIGHT CLICK> for help!"},
    {"tab5", "CMDB_STOP", "Stopp automatic recording. <RIGHT CLICK> for help!"},
    {"tab5", "STRING_PANELID", "Identifies sensor. <RIGHT CLICK> for help!"},
    {"tab5", "CMDB_MANUALREC", "Manually store the current data set. <RIGHT CLICK> for help!"},
    {"tab5", "CMDB_SELECTFILE", "Select the destination file to store data to. \n<RIGHT CLICK> for help!"},
    {"tab5", "CMDB_SHOWGRAPH", "Display overview over recorded data. <RIGHT CLICK> for help!"},
    {"tab5", "TEXTBOX_FILENAME", "The destination file to store data to. \n<RIGHT CLICK> for help!"},

    // Oscillograph settings, channel A then channel B.
    {"tab6", "NUMS_SKIPA",
     "Adjust recording time span by skipping \na specified number of samples. \n<RIGHT CLICK> for help!"},
    {"tab6", "NUMS_PRETRIGA",
     "Define trigger position \nwithin recorded data field. \n<RIGHT CLICK> for help!"},
    {"tab6", "RING_OSCICONDA", "Define conditon on which to trigger recording. \n<RIGHT CLICK> for help!"},
    {"tab6", "RING_MODEA", "Define operational mode of oscilloscope. \n<RIGHT CLICK> for help!"},
    {"tab6", "CBTN_MASTERA", "Syncronize settings of chan. B with chan. A. \n<RIGHT CLICK> for help!"},
    {"tab6", "NUMS_SKIPB",
     "Adjust recording time span by skipping \na specified number of samples. \n<RIGHT CLICK> for help!"},
    {"tab6", "NUMS_PRETRIGB",
     "Define trigger position \nwithin recorded data field. \n<RIGHT CLICK> for help!"},
    {"tab6", "RING_OSCICONDB", "Define conditon on which to trigger recording. \n<RIGHT CLICK> for help!"},
    {"tab6", "RING_MODEB", "Define operational mode of oscilloscope. \n<RIGHT CLICK> for help!"},
    {"tab6", "CBTN_MASTERB", "Syncronize settings of chan. A with chan. B. \n<RIGHT CLICK> for help!"},

    // General settings and analog output.
    {"tab7", "NUMS_SCANRATE", "Interval between two samples. <RIGHT CLICK> for help!"},
    {"tab7", "NUM_FREQUENCY", "Current frequency of sample-taking. <RIGHT CLICK> for help!"},
    {"tab7", "NUM_ADTIME", "Duration of A/D routine in µs. <RIGHT CLICK> for help!"},
    {"tab7", "RING_SCANSETTING",
     "Sample at defined intervals \nor as fast as possible. \n<RIGHT CLICK> for help!"},
    {"tab7", "NUMS_NORMTIMECONSTANT", "Interval between two normalisation steps. \n<RIGHT CLICK> for help!"},
    {"tab7", "RING_NORMCOND", "Condition 1 for normalisation step. <RIGHT CLICK> for help!"},
    {"tab7", "CMDB_NORM_NOW", "Order control unit to set norm. factor now. \n<RIGHT CLICK> for help!"},
    {"tab7", "RING_DIRTOUTPUT", "Enable/disable \"Dirt accumulation\" output. \n<RIGHT CLICK> for help!"},
    {"tab7", "RING_ANALOGOUTMODE", "Select data source for analog output. \n<RIGHT CLICK> for help!"},
    {"tab7", "RING_ANAOUTSCALE", "Define transfer function for the analog output. \n<RIGHT CLICK> for help!"},
    {"tab7", "GRPH_TRANSFER",
     "Analog output transfer characteristic. \n<RIGHT CLICK> for help!\n<LEFT CLICK> to close window."},

    // Hidden settings: dirt accumulation, analog output switch.
    {"tab8", "NUMS_DIRTLEVELA", "Configure the dirt accumulation threshold level. \n<RIGHT CLICK> for help!"},
    {"tab8", "NUMS_DIRTTIMEOUTA", "Configure the dirt accumulation mean time. \n<RIGHT CLICK> for help!"},
    {"tab8", "NUMS_DIRTLEVELB", "Configure the dirt accumulation threshold level. \n<RIGHT CLICK> for help!"},
    {"tab8", "NUMS_DIRTTIMEOUTB", "Configure the dirt accumulation mean time. \n<RIGHT CLICK> for help!"},
    {"tab8", "RING_SWITCH_ANAOUT",
     "Select external input to switch \nbetween analog output sources. \n<RIGHT CLICK> for help!"},

    // Linearisation.
    {"tab9", "BINS_LINEARA", "Enable/Disable linearisation on the control unit. \n<RIGHT CLICK> for help!"},
    {"tab9", "TEXTBOX_DESCRA",
     "Displays linearisation data \nfrom file or control unit. \n<RIGHT CLICK> for help!"},
    {"tab9", "STRING_FILEA", "Displays the currently selected lin. data file. \n<RIGHT CLICK> for help!"},
    {"tab9", "CMDB_LOADA", "Load a lin. data file for this channel. \n<RIGHT CLICK> for help!"},
    {"tab9", "BINS_LINEARB", "Enable/Disable linearisation on the control unit. \n<RIGHT CLICK> for help!"},
    {"tab9", "TEXTBOX_DESCRB",
     "Display linearisation data \nfrom file or control unit. \n<RIGHT CLICK> for help!"},
    {"tab9", "STRING_FILEB",
     "Display the currently selected \nlinearisation data file. \n<RIGHT CLICK> for help!"},
    {"tab9", "CMDB_LOADB", "Load a lin. data file for this channel. \n<RIGHT CLICK> for help!"},
    {"tab9", "CMDB_REFRESH_LIN", "Read current lin. data form control unit. \n<RIGHT CLICK> for help!"},
    {"tab9", "CMDB_SEND_LIN",
     "Send selected linearisation data to \nnon-volatile storage on control unit. \n<RIGHT CLICK> for help!"},
    {"tab9", "CMDB_CHECK_LIN", "Test the selected lin. data files for integrity. \n<RIGHT CLICK> for help!"},

    // Hidden settings: filters.
    {"tab10", "RING_FILTERA", "Read/Set the current IIR filter setting. \n<RIGHT CLICK> for help!"},
    {"tab10", "NUMS_PREVSAMPLESA",
     "Select number of prev. data \npoints to keep when resetting. \n<RIGHT CLICK> for help!"},
    {"tab10", "RING_FILTERB", "Read/Set the current IIR filter setting. \n<RIGHT CLICK> for help!"},
    {"tab10", "NUMS_PREVSAMPLESB",
     "Select number of prev. data \npoints to keep when resetting. \n<RIGHT CLICK> for help!"},

    // Main display.
    {"graph1", "NUM_RAWA", "Channel A raw value. <RIGHT CLICK> for help!"},
    {"graph1", "NUM_MAXA", "Channel A maximum raw value. <RIGHT CLICK> for help!"},
    {"graph1", "NUM_VALA", "Channel A normalized value. <RIGHT CLICK> for help!"},
    {"graph1", "NUM_MINVALA", "Channel A mimimum normalized value. <RIGHT CLICK> for help!"},
    {"graph1", "NUM_MAXVALA", "Channel A maximum normalized value. <RIGHT CLICK> for help!"},
    {"graph1", "NUM_CNTRA", "Channel A number of counted events. <RIGHT CLICK> for help!"},
    {"graph1", "NUM_RAWB", "Channel B raw value. <RIGHT CLICK> for help!"},
    {"graph1", "NUM_MAXB", "Channel B maximum raw value. <RIGHT CLICK> for help!"},
    {"graph1", "NUM_VALB", "Channel B normalized value. <RIGHT CLICK> for help!"},
    {"graph1", "NUM_MINVALB", "Channel B minimum normalized value. <RIGHT CLICK> for help!"},
    {"graph1", "NUM_MAXVALB", "Channel B maximum normalized value. <RIGHT CLICK> for help!"},
    {"graph1", "NUM_CNTRB", "Channel B number of counted events. <RIGHT CLICK> for help!"},
    {"graph1", "NUM_RESULTA", "Evaluated result of channel A. <RIGHT CLICK> for help!"},
    {"graph1", "NUM_RESULTB", "Evaluated result of channel B. <RIGHT CLICK> for help!"},
    {"graph1", "BINS_RAWMAXA", "Enable channel A raw value trace. <RIGHT CLICK> for help!"},
    {"graph1", "BINS_VALA", "Enable channel A normalized value trace. \n<RIGHT CLICK> for help!"},
    {"graph1", "BINS_MINMAXA",
     "Enable channel A minimum and \nmaximum normalized value trace. \n<RIGHT CLICK> for help!"},
    {"graph1", "BINS_CNTRA", "Enable channel A number of counted events trace. \n<RIGHT CLICK> for help!"},
    {"graph1", "BINS_RESULTA", "Enable channel A evaluated result trace. \n<RIGHT CLICK> for help!"},
    {"graph1", "BINS_RAWMAXB", "Enable channel B raw value trace. <RIGHT CLICK> for help!"},
    {"graph1", "BINS_VALB", "Enable channel B normalized value trace. \n<RIGHT CLICK> for help!"},
    {"graph1", "BINS_MINMAXB",
     "Enable channel B minimum and \nmaximum normalized value trace. \n<RIGHT CLICK> for help!"},
    {"graph1", "BINS_CNTRB", "Enable channel B number of counted events trace. \n<RIGHT CLICK> for help!"},
    {"graph1", "BINS_RESULTB", "Enable channel B evaluated result trace. \n<RIGHT CLICK> for help!"},
    {"graph1", "STRING_STATUS", "Status line for operational status information. \n<RIGHT CLICK> for help!"},
    {"graph1", "STRIP_DATA", "Stripchart for numeric results. <RIGHT CLICK> for help!"},
    {"graph1", "GRAPH_ANALOGA",
     "Analog data screen for channel A data.\n\n<CTRL> + <LEFT CLICK and HOLD> to zoom in\n<CTRL> + <RIGHT "
     "CLICK and HOLD> to zoom out\n<CTRL> + <SHIFT> + <LEFT CLICK and DRAG> to move view\n<LEFT DOUBLE "
     "CLICK> to restore view\n"},
    {"graph1", "GRAPH_ANALOGB",
     "Analog data screen for channel B data.\n\n<CTRL> + <LEFT CLICK and HOLD> to zoom in\n<CTRL> + <RIGHT "
     "CLICK and HOLD> to zoom out\n<CTRL> + <SHIFT> + <LEFT CLICK and DRAG> to move view\n<LEFT DOUBLE "
     "CLICK> to restore view\n"},
    {"graph1", "LED_IN0", "Status of digital input 0. <RIGHT CLICK> for help!"},
    {"graph1", "LED_IN1", "Status of digital input 1. <RIGHT CLICK> for help!"},
    {"graph1", "LED_OUT0", "Status of digital output 0/output A. <RIGHT CLICK> for help!"},
    {"graph1", "LED_OUT1", "Status of digital output 1/output B. <RIGHT CLICK> for help!"},
    {"graph1", "LED_OUT2",
     "Status of digital output \n2/dirt accumulation output. \n<RIGHT CLICK> for help!"},
    {"graph1", "NUM_ANA", "Current analog output voltage level. <RIGHT CLICK> for help!"},
};

int tooltip_count(const char* panel) {
    if (!panel) return 0;
    int n = 0;
    for (const tooltip_row& row : tooltip_rows) n += std::strcmp(row.panel, panel) == 0;
    return n;
}

int walk_tooltips(int on, tooltip_setter set, void* ctx) {
    if (!set) return -1;
    int done = 0, failed = 0;
    for (const tooltip_row& row : tooltip_rows) {
        const int rc = set(row.panel, row.control, on ? row.text : "", ctx);
        if (rc >= 0)
            done++;
        else if (!failed)
            failed = rc;
    }
    return failed ? failed : done;
}
