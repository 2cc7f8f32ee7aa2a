; The per-user installer of Corvinade. Needs no administrator rights: the
; program goes to %LOCALAPPDATA%\Programs\Corvinade, its shortcut to the
; user's Start menu and its uninstall entry under HKEY_CURRENT_USER.
;
;   makensis -DVERSION=1.0.0.0 -DEXE=/path/corvinade.exe -DOUTFILE=/path/setup.exe \
;       -DPUBLISHER=... -DPRODUCT=... -DCOPYRIGHT=... [-DSIGN=COMMAND] corvinade.nsi
;
; installer/make-setup.sh runs this for the cross tree's target
; corvinade_setup and for scripts/release.sh. VERSION is the file version of
; corvinade.exe (four parts, from the CMake project version); the names are
; those of its version resource (CMakeLists.txt). With SIGN, COMMAND FILE
; DESCRIPTION signs the uninstaller and then the installer.
;
; The user's data is not the installer's: the hotkeys live in
; %APPDATA%\Pelmorra\Corvinade\Data\hotkeys.ini and the settings under
; HKCU\Software\Pelmorra\Corvinade. Installing over an older version and
; uninstalling leave both alone.

!macro REQUIRE NAME
    !ifndef ${NAME}
        !error "${NAME} is missing: makensis -D${NAME}=... (see the top of corvinade.nsi)"
    !endif
!macroend
!insertmacro REQUIRE VERSION
!insertmacro REQUIRE EXE
!insertmacro REQUIRE OUTFILE
!insertmacro REQUIRE PUBLISHER
!insertmacro REQUIRE PRODUCT
!insertmacro REQUIRE COPYRIGHT

!ifdef SIGN
    ; The uninstaller is made inside the installer: signed before it is
    ; packed, then the installer once it is written. A failed signing ends
    ; the build.
    !uninstfinalize '${SIGN} "%1" "${PRODUCT}"' = 0
    !finalize '${SIGN} "%1" "${PRODUCT}"' = 0
!endif

Unicode true
ManifestDPIAware true
SetCompressor /SOLID lzma
RequestExecutionLevel user

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Corvinade"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Corvinade"
; Created by every running corvinade.exe (src/corvinade.cpp).
!define MUTEX "PelmorraCorvinade"
!define PROGRAM "corvinade.exe"
!define UNINSTALLER "uninstall.exe"
!define SHORTCUT "$SMPROGRAMS\Corvinade.lnk"
; Exit codes beside NSIS's own (0 done, 1 cancelled by the user).
!define EXIT_PROGRAM_RUNS 3

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Corvinade"
BrandingText "${PRODUCT} ${VERSION}"

!include "MUI2.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define MUI_ICON "../src/corvinade.ico"
!define MUI_UNICON "../src/corvinade.ico"
!define MUI_ABORTWARNING
!define MUI_WELCOMEPAGE_TEXT "Setup will install Corvinade ${VERSION} for your user account into$\r$\n$INSTDIR$\r$\nwith a shortcut in your Start menu. It needs no administrator rights.$\r$\n$\r$\nAn older version there is replaced; your hotkeys and settings are kept.$\r$\n$\r$\nClick Install to start the installation."
!define MUI_FINISHPAGE_RUN "$INSTDIR\${PROGRAM}"
!define MUI_FINISHPAGE_RUN_TEXT "Start Corvinade now"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

VIProductVersion "${VERSION}"
VIFileVersion "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=${LANG_ENGLISH} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_ENGLISH} "LegalCopyright" "${COPYRIGHT}"

; Returns only once no Corvinade runs: while one does, asks the user to exit
; it (Retry checks again, Cancel ends the setup with exit code 1). A silent
; run cannot ask and ends at once with EXIT_PROGRAM_RUNS. Files in use could
; not be replaced or removed, and a running program would keep its hotkeys.
!macro WAIT_UNTIL_CORVINADE_ENDS UN
Function ${UN}WaitUntilCorvinadeEnds
    ${Do}
        System::Call 'kernel32::OpenMutexW(i 0x00100000, i 0, w "${MUTEX}") p.r0'
        ${If} $0 P= 0
            Return
        ${EndIf}
        System::Call 'kernel32::CloseHandle(p r0)'
        ${If} ${Silent}
            SetErrorLevel ${EXIT_PROGRAM_RUNS}
            Quit
        ${EndIf}
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION \
            "Corvinade is running.$\r$\n$\r$\nExit it first: right-click its icon in the notification area and choose Exit. Then click Retry." \
            IDRETRY +3
        SetErrorLevel 1
        Quit
    ${Loop}
FunctionEnd
!macroend
!insertmacro WAIT_UNTIL_CORVINADE_ENDS ""
!insertmacro WAIT_UNTIL_CORVINADE_ENDS "un."

Function .onInit
    SetShellVarContext current
    Call WaitUntilCorvinadeEnds
FunctionEnd

Function un.onInit
    SetShellVarContext current
    Call un.WaitUntilCorvinadeEnds
FunctionEnd

; Over an older version the same files are replaced and the uninstall entry
; written anew.
Section "Corvinade"
    SetOutPath "$INSTDIR"
    File "/oname=${PROGRAM}" "${EXE}"
    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    CreateShortCut "${SHORTCUT}" "$INSTDIR\${PROGRAM}" "" "$INSTDIR\${PROGRAM}" 0

    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" '"$INSTDIR\${PROGRAM}",0'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

Section "Uninstall"
    ; The log-on entry may be on as the program goes. With the program gone
    ; nothing could start, so the entry goes when it names this copy, quoted
    ; (as the program writes it) or not, or when it is empty; an entry for
    ; another copy stays. == ignores case.
    ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${If} $0 == "$INSTDIR\${PROGRAM}"
    ${OrIf} $0 == '"$INSTDIR\${PROGRAM}"'
    ${OrIf} $0 == ""
        DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
    ${EndIf}

    Delete "${SHORTCUT}"
    Delete "$INSTDIR\${PROGRAM}"
    Delete "$INSTDIR\${UNINSTALLER}"
    ; Only when empty: files the user put there stay.
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd
