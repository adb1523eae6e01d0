# Headless demo of zazed against its simulated unit (run by tools/run.sh when
# there is no display). Screenshots and the recording go to demo-out/, which
# tools/run.sh puts in place of OUT below.
#
# The connect panel is set to the simulated unit; connect, identify and pair
# with it as a user would.
wait 0.5
screenshot window OUT/01-ready.png
commit tab1 CMDB_TRYCONNECT
waitfor graph1 STRING_STATUS "V4.04" 10
print graph1 STRING_STATUS
screenshot window OUT/02-identified.png
answer yes
commit tab1 CMDB_COMACCEPT
waitfor tab1 TEXT_CONNECTSTAT "LINKED TO" 10
print graph1 STRING_STATUS
screenshot window OUT/03-paired.png
commit mpanel CBTN_READ
waitfor graph1 STRING_STATUS "Done" 10
print graph1 STRING_STATUS
commit mpanel CBTN_SEL_CHANA
screenshot window OUT/04-channel-a.png
commit mpanel CBTN_SEL_CHANB
screenshot window OUT/05-channel-b.png
commit mpanel CBTN_SEL_TEACH
screenshot window OUT/06-teach-tables.png
commit mpanel CBTN_SEL_LINEAR
# No linearisation files chosen: CHECK offers the standard curve for each channel.
answer yes
answer yes
commit tab9 CMDB_CHECK_LIN
screenshot window OUT/07-linearisation.png
commit mpanel CBTN_SEL_GENERAL
screenshot window OUT/08-general-settings.png
screenshot osci1 OUT/09-oscillograph.png
# RUN: live numbers, LEDs and the strip chart (RAW/MAX of channel A added).
commit graph1 BINS_RAWMAXA
commit mpanel CBTN_RUN
wait 3
print graph1 STRING_STATUS
screenshot window OUT/10-run.png
# While RUN goes on, record three values one second apart (AUTO LIMITED)
# into OUT/recording.csv.
commit mpanel CBTN_SEL_RECORDER
answer OUT/recording.csv
commit tab5 CMDB_SELECTFILE
set tab5 EDIT_SELECTRECMODE "AUTO LIMITED"
set tab5 NUMS_INTERVAL 1
set tab5 NUMS_NUMBER 3
commit tab5 CBTN_START
wait 1.5
screenshot window OUT/11-recording.png
waitfor tab5 STRING_TIME "All data recorded" 15
print tab5 TEXTBOX_FILENAME
commit mpanel CBTN_STOP
print graph1 STRING_STATUS
# Context help: a right click on a measurement value explains it, and its
# visualisation animates what the unit computes.
rightclick graph1 NUM_MINVALA
screenshot window OUT/12-help.png
commit graph2 CMDB_VISUAL
wait 4
screenshot window OUT/13-help-visualisation.png
commit graph3 CMDB_CLOSE
# VIDEO: the triggered sequences of both channels on the main display and in
# the oscillograph window, which shows the half of the buffer around the
# trigger cursors.
commit graph1 CMDB_ACVIDEO
commit mpanel CBTN_SEL_OSCI
set osci1 RING_ZOOMX 512
set osci1 SLIDE_HORIZONTAL 30
commit mpanel CBTN_VIDEO
waitfor graph1 STRING_STATUS "Done" 10
wait 1
screenshot window OUT/14-video.png
screenshot osci1 OUT/15-oscillograph-video.png
commit mpanel CBTN_STOP
print graph1 STRING_STATUS
close
