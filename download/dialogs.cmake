# The download dialog and the download folder dialog: portable decisions, then Windows.
movarin_library(movarin_download_dialogs SOURCES download_dialog_logic.cpp
  LIBS movarin_download movarin_catalogue_ui)
movarin_win32_library(movarin_download_dialogs_win32 SOURCES
  win32/download_folder_dialog.cpp win32/download_dialog.cpp
  LIBS movarin_download_dialogs movarin_download_win32 movarin_settings_win32
       movarin_platform_win32 comctl32 shell32 ole32)
