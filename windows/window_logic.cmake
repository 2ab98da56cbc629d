# The Qt-free logic units that stand beside the window forms: element page
# and find rules, the main window's commands, the document browsers' rules,
# login and account rules, viewer appearance, the chemistry tests' rules, tip
# order, the texts of the tip and about boxes, the molar-mass calculator's
# formula reader, the update centre's answers and texts, the installer's steps
# and the unit converter's exact decimal arithmetic (Boost.Multiprecision,
# header-only). They form their own
# library, built also without Qt, so that their tests run under the
# sanitizers and orbita-tool links them without the windows.
set(ORBITA_WINDOW_LOGIC_SOURCES
  ${CMAKE_SOURCE_DIR}/windows/dialogs/about_texts.cpp ${CMAKE_SOURCE_DIR}/windows/dialogs/about_texts.h
  ${CMAKE_SOURCE_DIR}/windows/dialogs/tip_order.cpp ${CMAKE_SOURCE_DIR}/windows/dialogs/tip_order.h
  ${CMAKE_SOURCE_DIR}/windows/dialogs/tip_texts.cpp ${CMAKE_SOURCE_DIR}/windows/dialogs/tip_texts.h
  ${CMAKE_SOURCE_DIR}/windows/element/element_page.cpp ${CMAKE_SOURCE_DIR}/windows/element/element_page.h
  ${CMAKE_SOURCE_DIR}/windows/element/find_logic.cpp ${CMAKE_SOURCE_DIR}/windows/element/find_logic.h
  ${CMAKE_SOURCE_DIR}/windows/main/main_commands.cpp ${CMAKE_SOURCE_DIR}/windows/main/main_commands.h
  ${CMAKE_SOURCE_DIR}/windows/main/menu_commands.cpp ${CMAKE_SOURCE_DIR}/windows/main/menu_commands.h
  ${CMAKE_SOURCE_DIR}/windows/molar/molar_mass_logic.cpp ${CMAKE_SOURCE_DIR}/windows/molar/molar_mass_logic.h
  ${CMAKE_SOURCE_DIR}/windows/properties/property_table_logic.cpp ${CMAKE_SOURCE_DIR}/windows/properties/property_table_logic.h
  ${CMAKE_SOURCE_DIR}/windows/reference/browser_logic.cpp ${CMAKE_SOURCE_DIR}/windows/reference/browser_logic.h
  ${CMAKE_SOURCE_DIR}/windows/reference/dictionary_logic.cpp ${CMAKE_SOURCE_DIR}/windows/reference/dictionary_logic.h
  ${CMAKE_SOURCE_DIR}/windows/settings/account_logic.cpp ${CMAKE_SOURCE_DIR}/windows/settings/account_logic.h
  ${CMAKE_SOURCE_DIR}/windows/settings/login_logic.cpp ${CMAKE_SOURCE_DIR}/windows/settings/login_logic.h
  ${CMAKE_SOURCE_DIR}/windows/settings/settings_logic.cpp ${CMAKE_SOURCE_DIR}/windows/settings/settings_logic.h
  ${CMAKE_SOURCE_DIR}/windows/setup/install_logic.cpp ${CMAKE_SOURCE_DIR}/windows/setup/install_logic.h
  ${CMAKE_SOURCE_DIR}/windows/settings/view_appearance.cpp ${CMAKE_SOURCE_DIR}/windows/settings/view_appearance.h
  ${CMAKE_SOURCE_DIR}/windows/test/test_logic.cpp ${CMAKE_SOURCE_DIR}/windows/test/test_logic.h
  ${CMAKE_SOURCE_DIR}/windows/units/units_logic.cpp ${CMAKE_SOURCE_DIR}/windows/units/units_logic.h
  ${CMAKE_SOURCE_DIR}/windows/update/setup_unpack.cpp ${CMAKE_SOURCE_DIR}/windows/update/setup_unpack.h
  ${CMAKE_SOURCE_DIR}/windows/update/update_lists.cpp ${CMAKE_SOURCE_DIR}/windows/update/update_lists.h)
add_library(orbita_window_logic STATIC ${ORBITA_WINDOW_LOGIC_SOURCES})
find_package(Boost 1.71 REQUIRED)
target_link_libraries(orbita_window_logic PUBLIC orbita_skin_data orbita_data orbita_net_rules orbita_core orbita_options
  PRIVATE Boost::headers)
