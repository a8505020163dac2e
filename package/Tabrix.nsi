; The Tabrix installer. makensis -DVERSION=x.y -DSTAGE=<folder with the
; files> -DICON=<Tabrix.ico> -DOUTFILE=<setup.exe> Tabrix.nsi (package/CMakeLists.txt).
;
; Installs Tabrix.exe, wbk.exe, README.md and LICENSE.txt for all users
; (Program Files, elevated) or for the current user only (no elevation;
; /CurrentUser on the command line), into another folder with /D=<folder>
; (last on the command line), with a Start-menu shortcut, an entry in the
; installed programs and the .wbk file type. The uninstaller removes
; exactly that: the files it installed by name, the shortcut, the entry, and
; the file type only while it still names Tabrix. A folder that still holds
; anything else (a library the user saved there) is left in place.
Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma

!define PRODUCT "Tabrix"
!define PROGID "Tabrix.Library"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tabrix"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_INSTALLMODE_INSTDIR "Tabrix"
!define MULTIUSER_USE_PROGRAMFILES64
; A second install goes where the first one went, unless /D= says otherwise.
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_KEY "${UNINSTALL_KEY}"
!define MULTIUSER_INSTALLMODE_INSTDIR_REGISTRY_VALUENAME "InstallLocation"
!define MULTIUSER_INSTALLMODE_FUNCTION KeepCommandLineFolder
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh

Name "Tabrix ${VERSION}"
Caption "Tabrix ${VERSION} 安装"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
BrandingText "Tabrix ${VERSION}"
VIProductVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=2052 "ProductName" "Tabrix"
VIAddVersionKey /LANG=2052 "FileDescription" "Tabrix ${VERSION} 安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "LegalCopyright" "Copyright (C) 2026 Tabrix"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "SimpChinese"

Var CommandLineFolder ; the folder given with /D=, else empty

Function .onInit
  StrCpy $CommandLineFolder $INSTDIR
  !insertmacro MULTIUSER_INIT
FunctionEnd

; Called whenever all users or the current user is chosen, which sets the
; default folder of that choice: a folder given with /D= wins over it.
Function KeepCommandLineFolder
  ${If} $CommandLineFolder != ""
    StrCpy $INSTDIR $CommandLineFolder
  ${EndIf}
FunctionEnd

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
FunctionEnd

Section "Tabrix"
  SetOutPath "$INSTDIR"
  File "${STAGE}\Tabrix.exe"
  File "${STAGE}\wbk.exe"
  File "${STAGE}\README.md"
  File "${STAGE}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  CreateShortcut "$SMPROGRAMS\Tabrix.lnk" "$INSTDIR\Tabrix.exe" "" "$INSTDIR\Tabrix.exe" 0

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Tabrix 青柚输入法词库编辑器"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "Tabrix"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tabrix.exe,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1

  ; The file type: .wbk opens in Tabrix.
  WriteRegStr SHCTX "Software\Classes\.wbk" "" "${PROGID}"
  WriteRegStr SHCTX "Software\Classes\${PROGID}" "" "青柚云笺词库文件"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\DefaultIcon" "" "$INSTDIR\Tabrix.exe,0"
  WriteRegStr SHCTX "Software\Classes\${PROGID}\shell\open\command" "" '"$INSTDIR\Tabrix.exe" "%1"'
  ; SHCNE_ASSOCCHANGED: Explorer shows the new type at once.
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\Tabrix.exe"
  Delete "$INSTDIR\wbk.exe"
  Delete "$INSTDIR\README.md"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; Only when empty: whatever the user put there stays.
  RMDir "$INSTDIR"

  Delete "$SMPROGRAMS\Tabrix.lnk"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"

  ; The file type, unless another program has taken .wbk over since.
  ReadRegStr $0 SHCTX "Software\Classes\.wbk" ""
  ${If} $0 == "${PROGID}"
    DeleteRegValue SHCTX "Software\Classes\.wbk" ""
    DeleteRegKey /IfEmpty SHCTX "Software\Classes\.wbk"
  ${EndIf}
  DeleteRegKey SHCTX "Software\Classes\${PROGID}"
  System::Call 'shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)'
SectionEnd
