# The song editor's panel and beat grid: the cost of redrawing a pattern in the grid (benchmark)
# and the screenshot tool. Both run from the run folder.
add_executable(songpanel_screenshots ${CMAKE_CURRENT_LIST_DIR}/songpanel_screenshots.cpp)
target_link_libraries(songpanel_screenshots PRIVATE olmira_songeditor Qt6::Widgets)
target_compile_definitions(songpanel_screenshots PRIVATE
                           OLMIRA_SCREENSHOT_DIR="${CMAKE_BINARY_DIR}/screenshots")
add_dependencies(songpanel_screenshots olmira_data)

add_executable(songpanel_bench ${CMAKE_CURRENT_LIST_DIR}/songpanel_bench.cpp)
target_link_libraries(songpanel_bench PRIVATE olmira_songeditor Qt6::Widgets benchmark::benchmark)
add_dependencies(songpanel_bench olmira_data)
