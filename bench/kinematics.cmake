# Solver timings: a warm hand stroke and a twelve-sweep placement from the hips.
add_executable(kinematics_bench
    ${CMAKE_CURRENT_LIST_DIR}/kinematics_bench.cpp
    ${CMAKE_SOURCE_DIR}/kinematics/tests/humanoidtree.cpp)
target_link_libraries(kinematics_bench PRIVATE olmira_kinematics olmira_allocationcounter
                      benchmark::benchmark)
