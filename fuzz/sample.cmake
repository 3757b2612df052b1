olmira_fuzz(fuzz_sample SOURCES ${CMAKE_CURRENT_LIST_DIR}/sample_fuzz.cpp LIBS olmira_playback)
