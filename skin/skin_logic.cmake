# The skin component's Qt-free logic: the definition format, hit-testing,
# toggles, radio groups and sliders. Tested and fuzzed without Qt.
add_library(orbita_skin_logic STATIC
  ${CMAKE_SOURCE_DIR}/skin/skin_definition.cpp ${CMAKE_SOURCE_DIR}/skin/skin_definition.h
  ${CMAKE_SOURCE_DIR}/skin/skin_state.cpp ${CMAKE_SOURCE_DIR}/skin/skin_state.h)
target_link_libraries(orbita_skin_logic PUBLIC orbita_data orbita_core orbita_options)
