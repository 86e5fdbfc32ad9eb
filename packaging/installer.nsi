; The per-user installer of Tesmar: no administrator rights, into the user's own program folder
; (the program writes its settings, lists and converted drawings beside itself), a Start-menu
; shortcut and an entry in Apps & Features. Built by tools/package with
;   makensis -DVERSION=x.y.z -DSTAGE=<folder with the files> -DOUTFILE=<setup.exe> installer.nsi
; Silent use: setup.exe /S; uninstall.exe /S keeps the user's settings, /S /PURGE removes them.
Unicode true
; A 64-bit installer: Tesmar.exe is a 64-bit program, and a 64-bit Windows runs both.
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include "MUI2.nsh"
!include "FileFunc.nsh"

!define PRODUCT "Tesmar"
!define UNINSTKEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tesmar"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tesmar"
InstallDirRegKey HKCU "${UNINSTKEY}" "InstallLocation"
VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1041 "FileDescription" "${PRODUCT} セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Copyright (C) Tesmar"

; The program's own icon for the installer and the uninstaller (relative to this script).
!define MUI_ICON "../app/tesmar.ico"
!define MUI_UNICON "../app/tesmar.ico"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tesmar.exe"
!define MUI_FINISHPAGE_SHOWREADME "$INSTDIR\guide-ja.html"
!define MUI_FINISHPAGE_SHOWREADME_TEXT "使い方ガイドを開く"
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

Section "Tesmar"
  SetOutPath "$INSTDIR"
  ; Only the program's own files: Tesmar.ini, TesmarTopDirs.txt and TargetCAD_APIVersion.txt of
  ; an earlier install stay as the user left them.
  File "${STAGE}\Tesmar.exe"
  File "${STAGE}\guide-ja.html"
  File "${STAGE}\LICENSE.txt"
  ; The list of target CAD programs, only when there is none yet.
  SetOverwrite off
  File "${STAGE}\TargetCAD_APIVersion.txt"
  SetOverwrite on
  SetOutPath "$INSTDIR\guide-images"
  File /nonfatal "${STAGE}\guide-images\*.png"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\Tesmar.lnk" "$INSTDIR\Tesmar.exe" "" "$INSTDIR\Tesmar.exe" 0 SW_SHOWNORMAL "" "Tesmar DWG 図面ライブラリ パレット"

  WriteRegStr HKCU "${UNINSTKEY}" "DisplayName" "Tesmar"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTKEY}" "Publisher" "Tesmar"
  WriteRegStr HKCU "${UNINSTKEY}" "DisplayIcon" "$INSTDIR\Tesmar.exe"
  WriteRegStr HKCU "${UNINSTKEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTKEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTKEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTKEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTKEY}" "EstimatedSize" $0
SectionEnd

Section "Uninstall"
  Delete "$INSTDIR\Tesmar.exe"
  Delete "$INSTDIR\guide-ja.html"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\guide-images\*.png"
  RMDir "$INSTDIR\guide-images"
  Delete "$INSTDIR\uninstall.exe"
  Delete "$SMPROGRAMS\Tesmar.lnk"
  DeleteRegKey HKCU "${UNINSTKEY}"

  ; The user's settings go only when asked (or with /PURGE); drawing folders and their hint
  ; files live elsewhere and are never touched.
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/PURGE" $R1
  IfErrors 0 purge
  IfSilent keep
  MessageBox MB_YESNO|MB_ICONQUESTION "設定ファイル (Tesmar.ini、TesmarTopDirs.txt、TargetCAD_APIVersion.txt) も削除しますか？$\n「いいえ」を選ぶと設定は残り、次のインストールで引き継がれます。" /SD IDNO IDYES purge IDNO keep
  purge:
    Delete "$INSTDIR\Tesmar.ini"
    Delete "$INSTDIR\TesmarTopDirs.txt"
    Delete "$INSTDIR\TargetCAD_APIVersion.txt"
  keep:
  RMDir "$INSTDIR"
SectionEnd
