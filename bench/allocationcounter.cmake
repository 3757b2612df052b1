# Counts the heap allocations of a benchmark process (it replaces the global operator new).
add_library(olmira_allocationcounter STATIC ${CMAKE_CURRENT_LIST_DIR}/allocationcounter.cpp
            ${CMAKE_CURRENT_LIST_DIR}/allocationcounter.h)
target_include_directories(olmira_allocationcounter PUBLIC ${CMAKE_SOURCE_DIR})
