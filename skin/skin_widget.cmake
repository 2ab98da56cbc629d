# The skinned window widget TSkinForm and the skin packages: Qt.
add_library(orbita_skin STATIC
  ${CMAKE_SOURCE_DIR}/skin/skin_form.cpp ${CMAKE_SOURCE_DIR}/skin/skin_form.h
  ${CMAKE_SOURCE_DIR}/skin/skin_mask.cpp ${CMAKE_SOURCE_DIR}/skin/skin_mask.h
  ${CMAKE_SOURCE_DIR}/skin/skin_package.cpp ${CMAKE_SOURCE_DIR}/skin/skin_package.h)
target_link_libraries(orbita_skin PUBLIC orbita_skin_logic orbita_skin_data orbita_platform)

# A viewer that shows one skin alone, for looking at skins on a desktop.
add_executable(orbita-skin-preview ${CMAKE_SOURCE_DIR}/skin/preview/skin_preview.cpp)
target_link_libraries(orbita-skin-preview PRIVATE orbita_skin)
