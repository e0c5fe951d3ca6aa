; The Movarin installer. Built by scripts/dist.sh with Debian's makensis:
;   makensis -DAPP=<program tree> -DOUTFILE=<setup.exe> [-DAMD64] movarin.nsi
;   with -DFILES=<files.nsh>, which the script writes from the program tree: it lists the
;   tree's files, so install and uninstall name exactly the same ones.
; The version comes from Movarin.exe's own version resource.

!ifndef APP
  !error "APP (the program tree) is not defined"
!endif
!ifndef OUTFILE
  !error "OUTFILE is not defined"
!endif
!ifndef FILES
  !error "FILES (the list of the tree's files) is not defined"
!endif

Unicode true
!ifdef AMD64
  Target amd64-unicode
!else
  Target x86-unicode
!endif
SetCompressor /SOLID lzma

!getdllversion "${APP}/Movarin.exe" MOVARIN_VERSION_
!define VERSION "${MOVARIN_VERSION_1}.${MOVARIN_VERSION_2}.${MOVARIN_VERSION_3}.${MOVARIN_VERSION_4}"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Movarin"

Name "Movarin ${VERSION}"
OutFile "${OUTFILE}"
!ifdef AMD64
  InstallDir "$PROGRAMFILES64\Movarin"
!else
  InstallDir "$PROGRAMFILES\Movarin"
!endif
; Registering libraries writes to the system folder: the program is installed for all
; users, with administrator rights.
RequestExecutionLevel admin
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductName" "Movarin"
VIAddVersionKey /LANG=1033 "CompanyName" "Movarin"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Movarin"
VIAddVersionKey /LANG=1033 "FileDescription" "Movarin setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"

Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Function .onInit
  SetShellVarContext all
!ifdef AMD64
  SetRegView 64
!endif
FunctionEnd

Function un.onInit
  SetShellVarContext all
!ifdef AMD64
  SetRegView 64
!endif
FunctionEnd

!include "${FILES}"

Section "Movarin"
  !insertmacro InstallProgramFiles
  ; The example server address is the owner's to edit: an installed one is kept.
  SetOutPath "$INSTDIR"
  SetOverwrite off
  File "${APP}/Movarin.ini"
  SetOverwrite on

  WriteUninstaller "$INSTDIR\Uninstall.exe"
  CreateDirectory "$SMPROGRAMS\Movarin"
  CreateShortcut "$SMPROGRAMS\Movarin\Movarin.lnk" "$INSTDIR\Movarin.exe"

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Movarin"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "Movarin"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Movarin.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Removes what the installer put there and the batch files the programs write beside
; themselves; the user's settings (in the registry, and Movarin.ini) and any file the
; user downloaded stay. Folders are removed only when nothing else is left in them.
Section "Uninstall"
  !insertmacro UninstallProgramFiles
  Delete "$INSTDIR\run.bat"
  Delete "$INSTDIR\Adds\run.bat"
  Delete "$INSTDIR\Uninstall.exe"
  !insertmacro RemoveProgramFolders
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\Movarin\Movarin.lnk"
  RMDir "$SMPROGRAMS\Movarin"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd
