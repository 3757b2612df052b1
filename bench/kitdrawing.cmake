add_executable(kitdrawing_bench ${CMAKE_CURRENT_LIST_DIR}/kitdrawing_bench.cpp)
target_link_libraries(kitdrawing_bench PRIVATE olmira_kit olmira_common Qt6::OpenGL
                      benchmark::benchmark)
target_compile_definitions(kitdrawing_bench PRIVATE OLMIRA_RUN_DIR="${OLMIRA_RUN_DIR}")
add_dependencies(kitdrawing_bench olmira_data)
