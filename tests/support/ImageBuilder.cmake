# The in-memory image builder: used by the tests, the benchmarks and the sample-disk generator,
# so it is defined wherever the first of them needs it.
include_guard(GLOBAL)
add_library(tavik_image_builder STATIC ${CMAKE_CURRENT_LIST_DIR}/ImageBuilder.cpp)
target_include_directories(tavik_image_builder
  PUBLIC ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(tavik_image_builder PUBLIC tavik_disk PRIVATE tavik_warnings)
