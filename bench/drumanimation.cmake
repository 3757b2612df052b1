add_executable(drumanimation_bench ${CMAKE_CURRENT_LIST_DIR}/drumanimation_bench.cpp)
target_link_libraries(drumanimation_bench PRIVATE olmira_playback olmira_kit olmira_allocationcounter
                      benchmark::benchmark)
