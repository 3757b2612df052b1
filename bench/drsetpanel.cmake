# The drum-set panel holding the default kit: a screenshot tool, run from the run folder.
add_executable(drsetpanel_screenshots ${CMAKE_CURRENT_LIST_DIR}/drsetpanel_screenshots.cpp)
target_link_libraries(drsetpanel_screenshots PRIVATE olmira_kiteditor olmira_testing)
target_compile_definitions(drsetpanel_screenshots PRIVATE
                           OLMIRA_SCREENSHOT_DIR="${CMAKE_BINARY_DIR}/screenshots")
add_dependencies(drsetpanel_screenshots olmira_data)
