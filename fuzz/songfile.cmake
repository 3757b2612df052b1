olmira_fuzz(fuzz_songfile SOURCES ${CMAKE_CURRENT_LIST_DIR}/songfile_fuzz.cpp
    LIBS olmira_songeditor)
