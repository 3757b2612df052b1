# The timing tool of the sound engine: sounds on the beat clock, measured from a recording,
# optionally on a loaded machine.
add_library(olmira_onsets STATIC ${CMAKE_CURRENT_LIST_DIR}/onsets.cpp
            ${CMAKE_CURRENT_LIST_DIR}/onsets.h ${CMAKE_CURRENT_LIST_DIR}/machineload.cpp
            ${CMAKE_CURRENT_LIST_DIR}/machineload.h)
target_include_directories(olmira_onsets PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(olmira_onsets PUBLIC olmira_playback)

add_executable(sound_bench ${CMAKE_CURRENT_LIST_DIR}/soundbench.cpp)
target_link_libraries(sound_bench PRIVATE olmira_onsets Qt6::Widgets)
target_compile_definitions(sound_bench PRIVATE OLMIRA_RUN_DIR="${OLMIRA_RUN_DIR}")
add_dependencies(sound_bench olmira_data)
