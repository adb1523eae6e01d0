# The README's pictures of the main panels (tools/screenshots.sh replaces OUT/ with
# doc/). The program pairs with its simulated unit, reads its parameters, runs RUN
# and records, and reads oscillograph sequences in VIDEO, as a user would.
wait 0.5
commit tab1 CMDB_TRYCONNECT
waitfor graph1 STRING_STATUS "V4.04" 10
answer yes
commit tab1 CMDB_COMACCEPT
waitfor tab1 TEXT_CONNECTSTAT "LINKED TO" 10
commit mpanel CBTN_READ
waitfor graph1 STRING_STATUS "Done" 10
screenshot window OUT/connect.png
commit mpanel CBTN_SEL_CHANA
screenshot window OUT/channel-a.png
commit mpanel CBTN_SEL_GENERAL
screenshot window OUT/general-settings.png
commit graph1 BINS_RAWMAXA
commit mpanel CBTN_RUN
commit mpanel CBTN_SEL_RECORDER
answer OUT/recording.csv
commit tab5 CMDB_SELECTFILE
set tab5 EDIT_SELECTRECMODE "AUTO LIMITED"
set tab5 NUMS_INTERVAL 1
set tab5 NUMS_NUMBER 3
commit tab5 CBTN_START
wait 4
screenshot window OUT/run-recording.png
commit mpanel CBTN_STOP
commit graph1 CMDB_ACVIDEO
commit mpanel CBTN_SEL_OSCI
set osci1 RING_ZOOMX 512
set osci1 SLIDE_HORIZONTAL 30
commit mpanel CBTN_VIDEO
waitfor graph1 STRING_STATUS "Done" 10
wait 1
screenshot osci1 OUT/oscillograph.png
commit mpanel CBTN_STOP
rightclick graph1 NUM_MINVALA
commit graph2 CMDB_VISUAL
wait 4
screenshot window OUT/help.png
commit graph3 CMDB_CLOSE
close
