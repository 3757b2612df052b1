# The hit-point panel as a user sees it (screenshot tool). Run it from the run folder, where the
# panel finds its images.
add_executable(hitpoint_screenshots ${CMAKE_CURRENT_LIST_DIR}/hitpoint_screenshots.cpp)
target_link_libraries(hitpoint_screenshots PRIVATE olmira_kiteditor)
target_compile_definitions(hitpoint_screenshots PRIVATE
                           OLMIRA_SCREENSHOT_DIR="${CMAKE_BINARY_DIR}/screenshots")
add_dependencies(hitpoint_screenshots olmira_data)
