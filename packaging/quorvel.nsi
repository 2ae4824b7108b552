; The setup program: installs Quorvel for the current user, without administrator rights, into
; %LOCALAPPDATA%\Programs\Quorvel, makes it the screen saver and lists it among the installed apps.
; packaging/build.sh runs it: makensis -INPUTCHARSET UTF8 -DVERSION_NSH=FILE -DSOURCE=DIR -DBUILD32=DIR
; -DBUILD64=DIR -DOUTDIR=DIR [-DTARGET=amd64-unicode] quorvel.nsi
; The shipped setup program is the 32-bit one, which runs on every Windows and picks the saver built for it.

!define /ifndef TARGET x86-unicode
Target ${TARGET}
!if "${TARGET}" != "x86-unicode"
  ; A 64-bit build always takes the 64-bit branch of .onInit, and would warn that the other is never reached.
  !pragma warning disable 6012
!endif
Unicode true
!include "${VERSION_NSH}"
!include MUI2.nsh
!include Sections.nsh
!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Quorvel"
!define DESKTOP_KEY "Control Panel\Desktop"
; SystemParametersInfo's SPI_SETSCREENSAVEACTIVE, kept in the profile and told to every window
; (SPIF_UPDATEINIFILE | SPIF_SENDCHANGE).
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_UPDATE_AND_SEND 3

Name "Quorvel"
OutFile "${OUTDIR}/QuorvelSetup-${QUORVEL_VERSION}.exe"
InstallDir "$LOCALAPPDATA\Programs\Quorvel"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
RequestExecutionLevel user
SetCompressor /SOLID lzma
BrandingText "Quorvel ${QUORVEL_VERSION}"

!define MUI_ICON "${SOURCE}/assets/quorvel.ico"
!define MUI_UNICON "${SOURCE}/assets/quorvel.ico"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!define MUI_WELCOMEPAGE_TEXT "$(WelcomeText)"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "$(OpenSettings)"
!define MUI_FINISHPAGE_RUN_FUNCTION OpenScreenSaverSettings
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES

; The first language is the one for systems whose language is neither.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"
LangString ProgramSection ${LANG_ENGLISH} "Quorvel screen saver"
LangString ProgramSection ${LANG_JAPANESE} "Quorvel スクリーン セーバー"
LangString SaverSection ${LANG_ENGLISH} "Use Quorvel as the screen saver"
LangString SaverSection ${LANG_JAPANESE} "Quorvel をスクリーン セーバーにする"
LangString OpenSettings ${LANG_ENGLISH} "Open the Screen Saver Settings"
LangString OpenSettings ${LANG_JAPANESE} "スクリーン セーバーの設定を開く"
LangString WelcomeText ${LANG_ENGLISH} "Quorvel is a screen saver: two crawlers wander slowly over a black screen.\
  $\r$\n$\r$\nIt is installed for you alone, into your own folder of programs, without administrator rights. \
  It can be removed again under Apps (Installed apps).$\r$\n$\r$\n$_CLICK"
LangString WelcomeText ${LANG_JAPANESE} "Quorvel は、二匹の Tavrin が黒い画面の上をゆっくりと這い回るスクリーン セーバーです。\
  $\r$\n$\r$\nこのユーザーのプログラム フォルダーにインストールします。管理者の権限は要りません。\
  「アプリ」(インストールされているアプリ) からいつでも削除できます。$\r$\n$\r$\n$_CLICK"

VIProductVersion "${QUORVEL_VERSION}.0"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "Quorvel"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "Quorvel Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${QUORVEL_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${QUORVEL_VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${QUORVEL_PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${QUORVEL_COPYRIGHT}"

; The saver built for this Windows; the other section is unselected at start, so the size shown is the real one.
Section "-Quorvel.scr x64" ProgramX64
  SetOutPath "$INSTDIR"
  File "/oname=Quorvel.scr" "${BUILD64}/Quorvel.scr"
SectionEnd
Section "-Quorvel.scr x86" ProgramX86
  SetOutPath "$INSTDIR"
  File "/oname=Quorvel.scr" "${BUILD32}/Quorvel.scr"
SectionEnd

Function .onInit
  ${If} ${RunningX64}
    !insertmacro UnselectSection ${ProgramX86}
  ${Else}
    !insertmacro UnselectSection ${ProgramX64}
  ${EndIf}
FunctionEnd

; Installing over an earlier installation replaces the program and leaves the user's Quorvel.ini alone.
Section "!$(ProgramSection)"
  SectionIn RO
  SetOutPath "$INSTDIR"
  File "/oname=README.txt" "${SOURCE}/assets/README.txt"
  WriteUninstaller "$INSTDIR\Uninstall.exe"

  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Quorvel"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Quorvel.scr,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${QUORVEL_VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${QUORVEL_PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; What a .scr file's Install command does; silent installs keep this section selected.
Section "$(SaverSection)"
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$INSTDIR\Quorvel.scr"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
  System::Call "user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_UPDATE_AND_SEND})"
SectionEnd

Function OpenScreenSaverSettings
  ExecShell "" "$SYSDIR\control.exe" "desk.cpl,,@screensaver"
FunctionEnd

; Removes what the setup program put there and the user's settings beside it; a settings file in
; %APPDATA%\Quorvel may belong to another copy of the saver, so it stays.
Section "Uninstall"
  ; Windows would keep trying to start a saver that is gone; a saver chosen since then stays chosen.
  ReadRegStr $0 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  GetFullPathName /SHORT $1 "$INSTDIR\Quorvel.scr"
  ${If} $0 == "$INSTDIR\Quorvel.scr"
  ${OrIf} $0 == $1
    DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${EndIf}
  Delete "$INSTDIR\Quorvel.scr"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\Quorvel.ini"
  Delete "$INSTDIR\Uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
