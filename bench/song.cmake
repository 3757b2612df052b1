# The song editor's timing tool: a built-in song played on the beat clock, measured from a
# recording. Its onset detection is the sound engine's (olmira_onsets, bench/sound.cmake).
add_executable(song_bench ${CMAKE_CURRENT_LIST_DIR}/songbench.cpp)
target_link_libraries(song_bench PRIVATE olmira_onsets olmira_songeditor olmira_playback
                      Qt6::Widgets)
target_compile_definitions(song_bench PRIVATE OLMIRA_RUN_DIR="${OLMIRA_RUN_DIR}")
add_dependencies(song_bench olmira_data)
