olmira_fuzz(fuzz_drumsetfile SOURCES ${CMAKE_CURRENT_LIST_DIR}/drumsetfile_fuzz.cpp
    LIBS olmira_kit)
