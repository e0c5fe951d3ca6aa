# The main window and the command menu: portable decisions, then the Windows side.
movarin_library(movarin_catalogue_ui SOURCES
  command_menu.cpp main_window_logic.cpp program_state.cpp
  LIBS movarin_catalogue movarin_settings)
movarin_win32_library(movarin_catalogue_win32 SOURCES
  win32/command_menu.cpp win32/main_window.cpp
  LIBS movarin_catalogue_ui movarin_settings_win32 movarin_platform_win32 comctl32 comdlg32)
