olmira_fuzz(fuzz_vrml SOURCES ${CMAKE_CURRENT_LIST_DIR}/vrml_fuzz.cpp LIBS olmira_humanoid)
olmira_fuzz(fuzz_bodypart SOURCES ${CMAKE_CURRENT_LIST_DIR}/vrml_fuzz.cpp LIBS olmira_humanoid)
target_compile_definitions(fuzz_bodypart PRIVATE FUZZ_BODY_PART)
