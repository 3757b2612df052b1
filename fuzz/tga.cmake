olmira_fuzz(fuzz_tga SOURCES ${CMAKE_CURRENT_LIST_DIR}/tga_fuzz.cpp LIBS olmira_scene)
