add_executable(drumsetfile_bench ${CMAKE_CURRENT_LIST_DIR}/drumsetfile_bench.cpp)
target_link_libraries(drumsetfile_bench PRIVATE olmira_kit benchmark::benchmark)
