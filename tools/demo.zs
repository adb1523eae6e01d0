# Headless demo of zazed against its simulated unit (run by tools/run.sh when
# there is no display). Screenshots go to the folder named in ZAZED_DEMO_OUT,
# which tools/run.sh substitutes for OUT below.
wait 0.5
screenshot window OUT/01-connected.png
commit mpanel CBTN_READ
waitfor graph1 STRING_STATUS "Done" 10
print graph1 STRING_STATUS
commit mpanel CBTN_SEL_CHANA
screenshot window OUT/02-channel-a.png
commit mpanel CBTN_SEL_CHANB
screenshot window OUT/03-channel-b.png
commit mpanel CBTN_SEL_TEACH
screenshot window OUT/04-teach-tables.png
commit mpanel CBTN_SEL_GENERAL
screenshot window OUT/05-general-settings.png
screenshot osci1 OUT/06-oscillograph.png
close
