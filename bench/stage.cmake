# The stage view: the cost of one redraw and of one beat tick (benchmark), and the screenshot tool.
# Both need a display (xvfb-run) and run from the run folder.
add_executable(stage_bench ${CMAKE_CURRENT_LIST_DIR}/stage_bench.cpp)
target_link_libraries(stage_bench PRIVATE olmira_stagerig benchmark::benchmark)
add_dependencies(stage_bench olmira_data)

add_executable(stage_screenshots ${CMAKE_CURRENT_LIST_DIR}/stage_screenshots.cpp)
target_link_libraries(stage_screenshots PRIVATE olmira_stagerig)
target_compile_definitions(stage_screenshots PRIVATE
                           OLMIRA_SCREENSHOT_DIR="${CMAKE_BINARY_DIR}/screenshots")
add_dependencies(stage_screenshots olmira_data)
