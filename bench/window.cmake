# The main window: the tick work on the GUI thread while a demo song plays (timing tool), the
# time from the program's start to its first frame, and the screenshot tool. All need a display
# (xvfb-run) and run from the run folder.
add_executable(window_bench ${CMAKE_CURRENT_LIST_DIR}/window_bench.cpp)
target_link_libraries(window_bench PRIVATE olmira_onsets olmira_window olmira_testing)
add_dependencies(window_bench olmira_data)

add_executable(startup_bench ${CMAKE_CURRENT_LIST_DIR}/startup_bench.cpp)
target_link_libraries(startup_bench PRIVATE olmira_window)
add_dependencies(startup_bench olmira_data)

add_executable(window_screenshots ${CMAKE_CURRENT_LIST_DIR}/window_screenshots.cpp)
target_link_libraries(window_screenshots PRIVATE olmira_window olmira_testing)
target_compile_definitions(window_screenshots PRIVATE
                           OLMIRA_SCREENSHOT_DIR="${CMAKE_BINARY_DIR}/screenshots")
add_dependencies(window_screenshots olmira_data)
