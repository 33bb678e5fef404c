; Setup for Quillamor, for every user of the machine: the Outlook add-in DLL for every bitness
; of Outlook that the machine can run (on 64-bit Windows the 32-bit one under Program Files
; (x86) and the 64-bit one under Program Files, so that whichever Outlook is installed now or
; later finds the one it can load), each with its button picture and help file beside it, its
; COM registration and the Outlook add-in entry in the machine's part of the registry view of
; its bitness, and an entry in the list of installed programs. The uninstaller takes away
; exactly those again, whoever runs it. A setup over an installed Quillamor upgrades it in
; place (or repairs it, when the versions are the same).
;
; Made to be driven by deployment tools: every outcome has its own exit code (EXIT_* below,
; documented in docs/admin-guide.md), every run appends to a log (/LOG=FILE, else
; %TEMP%\QuillamorSetup.log), it installs while Outlook runs, and an upgrade moves a DLL that
; Outlook has loaded aside instead of failing on it. Any failure puts the earlier installation
; back as it was.
;
; Built by scripts/build-installer, which passes the file locations:
;   makensis -DDLL32=... -DDLL64=... -DPICTURE=... -DHELPFILE=... -DUNINSTALLER=... -DOUTFILE=...
;            [-DVERSION=x.y.z]
; UNINSTALLER is installer/uninstall/ built: Uninstall.exe, which runs this script's own
; uninstaller (written as Uninstall.dat) and waits for it.
;            [-DSIGN_COMMAND=...]   (signs the uninstaller as it is made)

Unicode true
ManifestDPIAware true
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include x64.nsh
!include FileFunc.nsh
!include WordFunc.nsh

!ifndef VERSION
  !define VERSION 1.0.0
!endif
!macro REQUIRE_DEFINE name
  !ifndef ${name}
    !error "${name} is not defined: build with scripts/build-installer"
  !endif
!macroend
!insertmacro REQUIRE_DEFINE DLL32
!insertmacro REQUIRE_DEFINE DLL64
!insertmacro REQUIRE_DEFINE PICTURE
!insertmacro REQUIRE_DEFINE HELPFILE
!insertmacro REQUIRE_DEFINE UNINSTALLER
!insertmacro REQUIRE_DEFINE OUTFILE

!ifdef SIGN_COMMAND
  !uninstfinalize '"${SIGN_COMMAND}" "%1"' = 0
!endif

!define PRODUCT "Quillamor"
!define MAKER "Orvane Corporation"
!define OFFICE_KEY "Software\Microsoft\Office"
!define ADDIN_PARENT "${OFFICE_KEY}\Outlook\Addins"
!define ADDIN_KEY "${ADDIN_PARENT}\Quillamor.Connect"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; Where Windows' shell finds OUTLOOK.EXE (its default value is the program's path).
!define APP_PATHS_KEY "Software\Microsoft\Windows\CurrentVersion\App Paths\OUTLOOK.EXE"
; The ProgID through which the add-in creates the safe-item library's mail item.
!define SAFE_ITEM_PROGID "Redemption.SafeMailItem"
; The Windows Installer packages of Quillamor (32-bit and 64-bit Windows): only one of them or
; this setup may own the installation.
!define MSI_UPGRADE_CODE_X86 "{1C498AA2-2A72-4A28-A61F-0A1285E3189C}"
!define MSI_UPGRADE_CODE_X64 "{92202633-7974-48BF-A2A9-571B0B3DFD8F}"

; Exit codes: Windows error codes whose system messages name the cause, so that a deployment
; tool that shows the message for a code shows the right one. 3010 and 1602 mean what they
; mean for Windows Installer.
!define EXIT_OK 0
!define EXIT_RESTART 3010       ; done; a file Outlook had loaded goes at the next restart
!define EXIT_CANCELLED 1602     ; the user cancelled (interactive only)
!define EXIT_FAILED 1603        ; a file could not be copied or the add-in did not register
!define EXIT_NOT_ADMIN 740      ; not run as an administrator
!define EXIT_OTHER_VERSION 1638 ; a newer version, or Quillamor's Windows Installer package
!define EXIT_NO_LIBRARY 1157    ; /REQUIREREDEMPTION and the safe-item library is missing
!define EXIT_IN_USE 32          ; a file of the installation is held open and cannot be moved
!define EXIT_LOG_FAILED 1622    ; the log named by /LOG= cannot be written

Name "${PRODUCT}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES64\${MAKER}\${PRODUCT}"
BrandingText "${PRODUCT} ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "CompanyName" "${MAKER}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "${MAKER}"

Var Dir32              ; on 64-bit Windows, the 32-bit DLL's folder; "" on 32-bit Windows
Var LibraryWhere       ; for which Outlook the safe-item library would have to be registered
Var InstalledVersion   ; the version already installed, or ""
Var SafeItemsMissing   ; "1" when the safe-item library is registered for no Outlook here
Var Log                ; the log file's handle, or "" when there is none
Var Backup             ; the folder the earlier installation's files in $INSTDIR are moved into, or ""
Var Backup32           ; the same for $Dir32

!define MUI_ABORTWARNING
!define MUI_CUSTOMFUNCTION_ABORT OnCancel
!define MUI_CUSTOMFUNCTION_UNABORT un.OnCancel
!ifdef SETUP_ICON
  !define MUI_ICON "${SETUP_ICON}"
  !define MUI_UNICON "${SETUP_ICON}"
!endif
!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT}, the Outlook add-in that files contacts into distribution lists, into $\"$INSTDIR$\".$\r$\n$\r$\nOutlook may stay open: ${PRODUCT} appears when Outlook starts next.$\r$\n$\r$\n${PRODUCT} needs the Redemption library, which is installed separately."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} is installed. Start Outlook (close it first if it is open) and click Quillamor Wizard: in Outlook 2010 and later in the Quillamor group on the Home tab, in Outlook 2002, 2003 and 2007 on the Standard toolbar (or Quillamor on the Actions menu)."
; Outlook runs the new version from its next start: Windows need not restart for it.
!define MUI_FINISHPAGE_NOREBOOTSUPPORT
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; --- Shared by the installer and the uninstaller ------------------------------------------

; Writes a line to the log (and to the details shown in the setup's window).
!macro LOG text
  DetailPrint "${text}"
  ${If} $Log != ""
    FileWrite $Log "${text}$\r$\n"
  ${EndIf}
!macroend
!define LOG "!insertmacro LOG"

; Says why the program stops, logs it and ends with the exit code: nothing has been changed,
; or what had been was put back before.
!macro STOP code text
  ${LOG} "${text}"
  MessageBox MB_OK|MB_ICONSTOP "${text}" /SD IDOK
  ${LOG} "Exit code ${code}."
  FileClose $Log
  SetErrorLevel ${code}
  Quit
!macroend
!define STOP "!insertmacro STOP"

!macro SHARED_FUNCTIONS un

; Opens the log: the file named by /LOG= (which must be writable: a log asked for and not
; written would leave the administrator guessing), else $0 in the temporary folder, which is
; C:\Windows\Temp for a setup run as SYSTEM. Each run is appended with a header line.
Function ${un}OpenLog
  StrCpy $Log ""
  ${GetParameters} $1
  ClearErrors
  ${GetOptions} $1 "/LOG=" $2
  ${If} ${Errors}
    StrCpy $2 "$TEMP\$0"
    StrCpy $3 ""
  ${Else}
    StrCpy $3 "asked"
  ${EndIf}
  ClearErrors
  FileOpen $Log "$2" a
  ${If} ${Errors}
    StrCpy $Log ""
    ${If} $3 == "asked"
      ${STOP} ${EXIT_LOG_FAILED} "The log file $\"$2$\" cannot be written. Nothing has been changed."
    ${EndIf}
    Return
  ${EndIf}
  FileSeek $Log 0 END
  ${GetTime} "" "L" $4 $5 $6 $7 $8 $9 $R0
  ${LOG} ""
  ${LOG} "$6-$5-$4 $8:$9:$R0 ${PRODUCT} ${VERSION}: $EXEFILE $1"
FunctionEnd

; The user cancelled (interactive runs only): the code Windows Installer gives for it.
Function ${un}OnCancel
  ${LOG} "Cancelled by the user. Exit code ${EXIT_CANCELLED}."
  SetErrorLevel ${EXIT_CANCELLED}
FunctionEnd

; Without an administrator's rights (no elevation prompt where it is switched off) the
; machine's keys cannot be written: say so and change nothing.
Function ${un}RequireAdministrator
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    ${STOP} ${EXIT_NOT_ADMIN} "${PRODUCT} is installed for every user of this computer: installing or removing it needs an administrator's rights. Please run this program as an administrator. Nothing has been changed."
  ${EndIf}
FunctionEnd

; $0 = a DLL's path. Gives $1 = "64" or "32" from the machine type in its PE header, or ""
; when the file is missing or not a Windows DLL.
Function ${un}DllBits
  Push $2
  Push $3
  Push $4
  Push $5
  Push $6
  StrCpy $1 ""
  ClearErrors
  FileOpen $2 "$0" r
  ${IfNot} ${Errors}
    FileReadByte $2 $3
    FileReadByte $2 $4
    ${If} $3 = 0x4D
    ${AndIf} $4 = 0x5A
      ; e_lfanew, a little-endian offset at 0x3C; the machine type follows the "PE\0\0" there.
      FileSeek $2 0x3C SET
      StrCpy $5 0
      ${For} $3 0 3
        FileReadByte $2 $4
        IntOp $6 $3 * 8
        IntOp $4 $4 << $6
        IntOp $5 $5 + $4
      ${Next}
      IntOp $5 $5 + 4
      FileSeek $2 $5 SET
      FileReadByte $2 $3
      FileReadByte $2 $4
      IntOp $4 $4 << 8
      IntOp $3 $3 + $4
      ${If} $3 = 0x8664
        StrCpy $1 "64"
      ${ElseIf} $3 = 0x14C
        StrCpy $1 "32"
      ${EndIf}
    ${EndIf}
    FileClose $2
  ${EndIf}
  Pop $6
  Pop $5
  Pop $4
  Pop $3
  Pop $2
FunctionEnd

; $0 = DLL path, $1 = "64" or "32", $2 = "" to register or "/u " to unregister.
; Runs the regsvr32 of that bitness. Gives $3 = its exit code (0 when it worked).
Function ${un}RunRegsvr32
  StrCpy $3 ""
  ${If} $1 == "64"
    ${DisableX64FSRedirection}
    ExecWait '"$SYSDIR\regsvr32.exe" /s $2"$0"' $3
    ${EnableX64FSRedirection}
  ${Else}
    ExecWait '"$SYSDIR\regsvr32.exe" /s $2"$0"' $3
  ${EndIf}
  ${If} $3 == ""
    StrCpy $3 "not started"
  ${EndIf}
FunctionEnd

; Takes the COM registration of the DLL at $0 away, whichever build it is.
Function ${un}UnregisterDll
  ${If} ${FileExists} "$0"
    Call ${un}DllBits
    ${If} $1 != ""
      StrCpy $2 "/u "
      Call ${un}RunRegsvr32
      ${If} $3 != 0
        ${LOG} "Could not unregister $0 (regsvr32: $3)."
      ${EndIf}
    ${EndIf}
  ${EndIf}
FunctionEnd

; Deletes the key $0 of SHCTX when it holds no values and no subkeys: the setup may have
; created the parents of the add-in key, but they can hold other programs' entries.
Function ${un}DeleteKeyIfEmpty
  EnumRegKey $1 SHCTX "$0" 0
  EnumRegValue $2 SHCTX "$0" 0
  ${If} $1 == ""
  ${AndIf} $2 == ""
    DeleteRegKey SHCTX "$0"
  ${EndIf}
FunctionEnd

; Deletes the add-in key of SHCTX (the machine's keys or the user's, in the current registry
; view) and those of its parents that it leaves empty.
Function ${un}DeleteAddinKey
  DeleteRegKey SHCTX "${ADDIN_KEY}"
  StrCpy $0 "${ADDIN_PARENT}"
  Call ${un}DeleteKeyIfEmpty
  StrCpy $0 "${OFFICE_KEY}\Outlook"
  Call ${un}DeleteKeyIfEmpty
  StrCpy $0 "${OFFICE_KEY}"
  Call ${un}DeleteKeyIfEmpty
FunctionEnd

; Deletes the add-in key that setups before this one wrote for the user who ran them: the
; user's key overrides the machine's, and would keep loading a class that may be gone.
Function ${un}DeleteUserAddinKey
  SetShellVarContext current
  Call ${un}DeleteAddinKey
FunctionEnd

; Deletes the machine's add-in key in the registry view $0 ("32" or "64").
Function ${un}DeleteMachineAddinKey
  ${If} $0 == "64"
    SetRegView 64
  ${Else}
    SetRegView 32
  ${EndIf}
  SetShellVarContext all
  Call ${un}DeleteAddinKey
  SetShellVarContext current
  SetRegView default
FunctionEnd

; Files an earlier setup installed that this version no longer carries: the pages' pictures
; are now resources of the DLL.
Function ${un}DeleteObsoleteFiles
  Delete "$INSTDIR\startup.gif"
  Delete "$INSTDIR\wizard.ico"
  Delete "$INSTDIR\progress.ico"
FunctionEnd

; Deletes the file $0, or, when a program has it loaded (Outlook, the add-in DLL), moves it
; to a name of its own in the same folder and marks that for deletion at the next restart,
; which sets the reboot flag. The name is new so that the restart cannot take a file that a
; later setup puts where this one was.
Function ${un}DeleteOrMarkFile
  ${If} ${FileExists} "$0"
    ClearErrors
    Delete "$0"
    ${If} ${Errors}
      ${GetParent} "$0" $1
      GetTempFileName $1 "$1"
      Delete "$1"
      ClearErrors
      Rename "$0" "$1"
      ${IfNot} ${Errors}
        StrCpy $0 $1
      ${EndIf}
      Delete /REBOOTOK "$0"
      ${LOG} "$0 is in use: it is deleted when Windows restarts."
    ${EndIf}
  ${EndIf}
FunctionEnd

; $R7 = a folder of the installation: its add-in DLL unregistered and deleted (at the restart
; when Outlook has it loaded), with the files beside it.
Function ${un}RemoveAddinFiles
  StrCpy $0 "$R7\Quillamor.dll"
  Call ${un}UnregisterDll
  StrCpy $0 "$R7\Quillamor.dll"
  Call ${un}DeleteOrMarkFile
  StrCpy $0 "$R7\Quillamor.chm"
  Call ${un}DeleteOrMarkFile
  Delete "$R7\contactsicon.gif"
FunctionEnd

; $R7 = a folder of the installation, removed when empty (a folder holding files of the
; user's own is left), and the maker's folder above it likewise.
Function ${un}RemoveFolder
  ${If} ${RebootFlag}
    RMDir /REBOOTOK "$R7"
    RMDir /REBOOTOK "$R7\.."
  ${Else}
    RMDir "$R7"
    RMDir "$R7\.."
  ${EndIf}
FunctionEnd

; Everything the installer adds, taken away: used by the uninstaller and by a first install
; that fails half way.
Function ${un}RemoveProduct
  StrCpy $R7 "$INSTDIR"
  Call ${un}RemoveAddinFiles
  Call ${un}DeleteObsoleteFiles
  ${If} ${RunningX64}
    StrCpy $R7 "$PROGRAMFILES32\${MAKER}\${PRODUCT}"
    Call ${un}RemoveAddinFiles
  ${EndIf}
  Delete "$INSTDIR\Uninstall.dat"
  ; Uninstall.exe may be what runs this uninstaller, waiting for it: a running program can be
  ; moved but not deleted, so it goes to the temporary folder, deleted from there at the next
  ; restart. Nothing in the folder is left for the restart, which could otherwise delete a
  ; new installation's file of the same name. That is no reason to report a restart.
  ClearErrors
  Delete "$INSTDIR\Uninstall.exe"
  ${If} ${Errors}
    GetTempFileName $0
    Delete $0
    Rename "$INSTDIR\Uninstall.exe" $0
    System::Call 'kernel32::MoveFileExW(w r0, p 0, i 4) i'
  ${EndIf}
  ; The setup's working folder cannot be removed, so step out of it first.
  SetOutPath "$TEMP"
  StrCpy $R7 "$INSTDIR"
  Call ${un}RemoveFolder
  ${If} ${RunningX64}
    StrCpy $R7 "$PROGRAMFILES32\${MAKER}\${PRODUCT}"
    Call ${un}RemoveFolder
  ${EndIf}

  ; Both views: each DLL has its key in its own (and setups before this one wrote only the
  ; view of the Outlook they found).
  StrCpy $0 "32"
  Call ${un}DeleteMachineAddinKey
  ${If} ${RunningX64}
    StrCpy $0 "64"
    Call ${un}DeleteMachineAddinKey
  ${EndIf}
  Call ${un}DeleteUserAddinKey

  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  SetRegView default
FunctionEnd

!macroend
!insertmacro SHARED_FUNCTIONS ""
!insertmacro SHARED_FUNCTIONS "un."

; --- Installer ---------------------------------------------------------------------------

; $0 = "" or the Bitness value of the newest Outlook found in the current registry view.
Function ReadOutlookBitness
  StrCpy $0 ""
  ${ForEach} $1 16 14 - 1
    ReadRegStr $0 HKLM "Software\Microsoft\Office\$1.0\Outlook" "Bitness"
    ${If} $0 != ""
      Return
    ${EndIf}
  ${Next}
FunctionEnd

; Writes Outlook's bitness to the log, for whoever reads it after a deployment: nothing the
; setup does depends on it, since every DLL that an Outlook on this Windows could load is
; installed. An Outlook installed by Windows Installer records "x64" in the 64-bit view, or
; "x86" (in the 32-bit view on 64-bit Windows). Click-to-Run Office (Microsoft 365 and the
; volume editions since 2019) records no Bitness: its platform is the value Platform of its
; configuration, in the 64-bit view. Outlook before 2010 records neither; its OUTLOOK.EXE,
; which App Paths names, has the machine type of its bitness.
Function LogOutlookBitness
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  Call ReadOutlookBitness
  ${If} $0 == ""
  ${AndIf} ${RunningX64}
    SetRegView 32
    Call ReadOutlookBitness
  ${EndIf}
  StrCpy $2 "its Bitness value"
  ${If} $0 == ""
  ${AndIf} ${RunningX64}
    SetRegView 64
    ReadRegStr $0 HKLM "${OFFICE_KEY}\ClickToRun\Configuration" "Platform"
    StrCpy $2 "Click-to-Run Office's Platform"
  ${EndIf}
  ${If} $0 == "x64"
    StrCpy $1 "64"
  ${ElseIf} $0 == "x86"
    StrCpy $1 "32"
  ${Else}
    StrCpy $1 ""
    ${If} ${RunningX64}
      SetRegView 64
    ${EndIf}
    ReadRegStr $0 HKLM "${APP_PATHS_KEY}" ""
    ${If} $0 == ""
    ${AndIf} ${RunningX64}
      SetRegView 32
      ReadRegStr $0 HKLM "${APP_PATHS_KEY}" ""
    ${EndIf}
    ${If} $0 != ""
      ExpandEnvStrings $0 $0
      StrCpy $2 $0 1
      ${If} $2 == '"'
        StrCpy $0 $0 "" 1
        StrCpy $0 $0 -1
      ${EndIf}
      ${If} ${RunningX64}
        ${DisableX64FSRedirection}
      ${EndIf}
      Call DllBits
      ${If} ${RunningX64}
        ${EnableX64FSRedirection}
      ${EndIf}
      StrCpy $2 "the machine type of $0"
    ${EndIf}
  ${EndIf}
  SetRegView default
  ${If} $1 == ""
    ${LOG} "No Outlook's bitness is recorded on this computer."
  ${Else}
    ${LOG} "Outlook on this computer is $1-bit ($2)."
  ${EndIf}
FunctionEnd

; Sets $InstalledVersion from the entry in the installed programs ("" when there is none).
Function ReadInstalledVersion
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  ReadRegStr $InstalledVersion HKLM "${UNINSTALL_KEY}" "DisplayVersion"
  SetRegView default
FunctionEnd

; $0 = "32" or "64". Sets $SafeItemsMissing to "" when the safe-item library's class is
; registered, with its file present, in that registry view: the add-in creates it in
; Outlook's process, which sees only the view of its bitness.
Function FindSafeItemLibrary
  ${If} $0 == "64"
    SetRegView 64
  ${Else}
    SetRegView 32
  ${EndIf}
  ReadRegStr $1 HKCR "${SAFE_ITEM_PROGID}\CLSID" ""
  ${If} $1 != ""
    ReadRegStr $1 HKCR "CLSID\$1\InprocServer32" ""
    ${If} $1 != ""
      ExpandEnvStrings $1 $1
      StrCpy $2 $1 1
      ${If} $2 == '"'
        StrCpy $1 $1 "" 1
        StrCpy $1 $1 -1
      ${EndIf}
      ${If} $0 == "64"
        ${DisableX64FSRedirection}
      ${EndIf}
      ${If} ${FileExists} "$1"
        StrCpy $SafeItemsMissing ""
      ${EndIf}
      ${If} $0 == "64"
        ${EnableX64FSRedirection}
      ${EndIf}
    ${EndIf}
  ${EndIf}
  SetRegView default
FunctionEnd

; Sets $SafeItemsMissing to "1" unless the safe-item library is registered for an Outlook of
; either bitness (which one will run is not the setup's business).
Function CheckSafeItemLibrary
  StrCpy $SafeItemsMissing "1"
  StrCpy $LibraryWhere "32-bit Outlook"
  StrCpy $0 "32"
  Call FindSafeItemLibrary
  ${If} ${RunningX64}
    StrCpy $LibraryWhere "either 32-bit or 64-bit Outlook"
    StrCpy $0 "64"
    Call FindSafeItemLibrary
  ${EndIf}
FunctionEnd

; Ends the setup when Quillamor is installed through one of its Windows Installer packages:
; two installations would share one folder and one registration, and removing either would
; break the other.
Function RefuseWhereMsiInstalled
  ${ForEach} $1 0 1 + 1
    ${If} $1 = 0
      StrCpy $2 "${MSI_UPGRADE_CODE_X86}"
    ${Else}
      StrCpy $2 "${MSI_UPGRADE_CODE_X64}"
    ${EndIf}
    System::Call 'msi::MsiEnumRelatedProductsW(w r2, i 0, i 0, w .r3) i .r0'
    ${If} $0 = 0
      ${STOP} ${EXIT_OTHER_VERSION} "${PRODUCT} is installed on this computer by its Windows Installer package (product $3). Remove it first, or go on deploying that package. Setup has changed nothing."
    ${EndIf}
  ${Next}
FunctionEnd

Function .onInit
  ; One folder for every installation by this setup, so that an upgrade, a repair and the
  ; uninstaller always find the earlier files (the add-in itself finds its files beside it).
  StrCpy $INSTDIR "$PROGRAMFILES64\${MAKER}\${PRODUCT}"
  StrCpy $0 "QuillamorSetup.log"
  Call OpenLog
  Call RequireAdministrator
  Call RefuseWhereMsiInstalled
  Call LogOutlookBitness
  ${If} ${RunningX64}
    StrCpy $Dir32 "$PROGRAMFILES32\${MAKER}\${PRODUCT}"
  ${Else}
    StrCpy $Dir32 ""
  ${EndIf}

  Call ReadInstalledVersion
  ${If} $InstalledVersion != ""
    ${VersionCompare} "$InstalledVersion" "${VERSION}" $0
    ${If} $0 = 1
      ${STOP} ${EXIT_OTHER_VERSION} "${PRODUCT} $InstalledVersion is installed on this computer, which is newer than this setup (${VERSION}). Setup has changed nothing."
    ${EndIf}
  ${EndIf}

  ; Without the safe-item library the add-in starts but cannot make a list. The library comes
  ; from elsewhere and may be installed after Quillamor, so this only warns, unless the
  ; command line says /REQUIREREDEMPTION.
  Call CheckSafeItemLibrary
  ${If} $SafeItemsMissing == "1"
    ${GetParameters} $1
    ClearErrors
    ${GetOptions} $1 "/REQUIREREDEMPTION" $2
    ${IfNot} ${Errors}
      ${STOP} ${EXIT_NO_LIBRARY} "${PRODUCT} needs the Redemption library to read contacts and fill distribution lists, and Redemption is not installed on this computer for $LibraryWhere (/REQUIREREDEMPTION makes that a failure). Setup has changed nothing."
    ${EndIf}
    ${LOG} "The Redemption library is not installed for $LibraryWhere: ${PRODUCT} cannot make lists until it is."
    MessageBox MB_OK|MB_ICONEXCLAMATION "${PRODUCT} needs the Redemption library to read your contacts and fill distribution lists, and Redemption is not installed on this computer for $LibraryWhere.$\r$\n$\r$\nSetup will install ${PRODUCT} anyway. Install Redemption before you make a list: until then ${PRODUCT} shows an error message when you try." /SD IDOK
  ${EndIf}
FunctionEnd

; Outlook's list of add-ins for every user: the machine's key in the registry view of each DLL
; installed (an Outlook reads the view of its own bitness), loaded at every start. Over an
; installed Quillamor, the load behaviour an administrator chose is kept in each view; a view
; without one takes the other's (setups before this one wrote one view only). Outlook records
; each user's own choice in that user's key, which overrides this one.
Function WriteAddinKey
  StrCpy $4 ""  ; the 32-bit view's
  StrCpy $5 ""  ; the 64-bit view's
  ${If} $InstalledVersion != ""
    StrCpy $0 "32"
    Call ReadMachineLoadBehavior
    StrCpy $4 $3
    ${If} ${RunningX64}
      StrCpy $0 "64"
      Call ReadMachineLoadBehavior
      StrCpy $5 $3
    ${EndIf}
  ${EndIf}
  ${If} $4 == ""
    StrCpy $4 $5
  ${EndIf}
  ${If} $5 == ""
    StrCpy $5 $4
  ${EndIf}
  ${If} $4 == ""
    StrCpy $4 3
    StrCpy $5 3
  ${EndIf}

  Call DeleteUserAddinKey
  ClearErrors
  StrCpy $0 "32"
  StrCpy $3 $4
  Call WriteMachineAddinKey
  ${If} ${RunningX64}
    StrCpy $0 "64"
    StrCpy $3 $5
    Call WriteMachineAddinKey
  ${EndIf}
FunctionEnd

; $0 = "32" or "64", $3 = LoadBehavior: the machine's add-in key in that view. Sets the error
; flag when it cannot be written.
Function WriteMachineAddinKey
  ${If} $0 == "64"
    SetRegView 64
  ${Else}
    SetRegView 32
  ${EndIf}
  WriteRegDWORD HKLM "${ADDIN_KEY}" "LoadBehavior" $3
  WriteRegStr HKLM "${ADDIN_KEY}" "FriendlyName" "${PRODUCT}"
  WriteRegStr HKLM "${ADDIN_KEY}" "Description" "Files contacts into distribution lists by category."
  SetRegView default
FunctionEnd

; $0 = "32" or "64". Gives $3 = the LoadBehavior of the machine's add-in key in that view, or
; "" when there is none.
Function ReadMachineLoadBehavior
  ${If} $0 == "64"
    SetRegView 64
  ${Else}
    SetRegView 32
  ${EndIf}
  ClearErrors
  ReadRegDWORD $3 HKLM "${ADDIN_KEY}" "LoadBehavior"
  ${If} ${Errors}
    StrCpy $3 ""
  ${EndIf}
  SetRegView default
FunctionEnd

; The files of a folder of the installation, each moved or put back as one ($R7 the folder,
; $R8 the folder its earlier files are set aside in). The 32-bit DLL's folder on 64-bit
; Windows has no uninstaller.
!macro FOR_EACH_INSTALLED_FILE macro
  !insertmacro ${macro} "Quillamor.dll"
  !insertmacro ${macro} "contactsicon.gif"
  !insertmacro ${macro} "Quillamor.chm"
  !insertmacro ${macro} "Uninstall.exe"
  !insertmacro ${macro} "Uninstall.dat"
!macroend

!macro MOVE_ASIDE name
  ${If} ${FileExists} "$R7\${name}"
    ClearErrors
    Rename "$R7\${name}" "$R8\${name}"
    ${If} ${Errors}
      StrCpy $R9 "$R7\${name}"
    ${EndIf}
  ${EndIf}
!macroend

!macro PUT_BACK name
  ${If} ${FileExists} "$R8\${name}"
    Delete "$R7\${name}"
    Rename "$R8\${name}" "$R7\${name}"
  ${EndIf}
!macroend

!macro DELETE_BACKUP name
  StrCpy $0 "$R8\${name}"
  Call DeleteOrMarkFile
!macroend

; Moves the earlier files of the folder $R7 into a new folder inside it: gives $R8 = that
; folder, or "" when there was nothing to move, and $R9 = a file that could not be moved, or
; "" when all were. Renaming works for a DLL that Outlook has loaded (it goes on running it
; from the new place), so an upgrade need not wait for Outlook.
Function MoveFolderAside
  StrCpy $R8 ""
  StrCpy $R9 ""
  ${IfNot} ${FileExists} "$R7\*.*"
    Return
  ${EndIf}
  GetTempFileName $R8 "$R7"
  Delete $R8
  CreateDirectory $R8
  !insertmacro FOR_EACH_INSTALLED_FILE MOVE_ASIDE
  ${If} $R9 != ""
    Return
  ${EndIf}
  RMDir $R8
  ${IfNot} ${FileExists} "$R8\*.*"
    StrCpy $R8 ""
    Return
  ${EndIf}
  ${LOG} "The earlier installation's files are set aside in $R8."
FunctionEnd

; Sets the earlier installation's files aside ($Backup, $Backup32). Ends the setup, with
; everything put back, when a file cannot be moved: some program holds it open and would have
; to close it first.
Function MoveEarlierInstallationAside
  StrCpy $Backup32 ""
  StrCpy $R7 "$INSTDIR"
  Call MoveFolderAside
  StrCpy $Backup $R8
  ${If} $R9 == ""
  ${AndIf} $Dir32 != ""
    StrCpy $R7 "$Dir32"
    Call MoveFolderAside
    StrCpy $Backup32 $R8
  ${EndIf}
  ${If} $R9 != ""
    StrCpy $0 $R9
    Call PutEarlierInstallationBack
    ${STOP} ${EXIT_IN_USE} "$0 is in use by another program and cannot be replaced. Close Outlook (and the help window, if open), then run Setup again. Setup has changed nothing."
  ${EndIf}
FunctionEnd

; $R7 = a folder, $R8 = where its earlier files were set aside: they go back.
Function PutFolderBack
  ${If} $R8 != ""
    !insertmacro FOR_EACH_INSTALLED_FILE PUT_BACK
    RMDir $R8
  ${EndIf}
FunctionEnd

Function PutEarlierInstallationBack
  StrCpy $R7 "$INSTDIR"
  StrCpy $R8 $Backup
  Call PutFolderBack
  StrCpy $R7 "$Dir32"
  StrCpy $R8 $Backup32
  Call PutFolderBack
FunctionEnd

; $R7 = a folder, $R8 = where its earlier files were set aside, or "": the earlier files and
; the registration of the earlier DLL back, once this setup's files are gone from every folder.
Function PutEarlierBack
  ${If} $R8 == ""
    Call RemoveFolder
  ${Else}
    Call PutFolderBack
    StrCpy $0 "$R7\Quillamor.dll"
    Call DllBits
    ${If} $1 != ""
      StrCpy $2 ""
      Call RunRegsvr32
      ${LOG} "The earlier installation in $R7 is put back (regsvr32: $3)."
    ${EndIf}
  ${EndIf}
FunctionEnd

; $R8 = where a folder's earlier files were set aside, or "": they go now; a DLL that Outlook
; still runs goes at the next restart.
Function DeleteBackup
  ${If} $R8 != ""
    !insertmacro FOR_EACH_INSTALLED_FILE DELETE_BACKUP
    ${If} ${RebootFlag}
      RMDir /REBOOTOK $R8
    ${Else}
      RMDir $R8
    ${EndIf}
  ${EndIf}
FunctionEnd

; Takes away what this setup put in and puts the earlier installation back: its files and the
; registration of its DLLs. Its add-in keys and installed-programs entry have not been touched
; yet. Then ends the setup with $0 as the reason.
Function FailAndRestore
  Push $0
  ${If} $Backup == ""
  ${AndIf} $Backup32 == ""
    Call RemoveProduct
  ${Else}
    ; Both folders' new DLLs share one class: each is unregistered before any earlier DLL is
    ; registered again, or the second unregistration would take the first one's class away.
    StrCpy $R7 "$INSTDIR"
    Call RemoveAddinFiles
    ${If} $Dir32 != ""
      StrCpy $R7 "$Dir32"
      Call RemoveAddinFiles
    ${EndIf}
    StrCpy $R7 "$INSTDIR"
    StrCpy $R8 $Backup
    Call PutEarlierBack
    ${If} $Dir32 != ""
      StrCpy $R7 "$Dir32"
      StrCpy $R8 $Backup32
      Call PutEarlierBack
    ${EndIf}
  ${EndIf}
  Pop $0
  ${STOP} ${EXIT_FAILED} "${PRODUCT} could not be installed: $0 Setup has put back what was there before."
FunctionEnd

; $0 = a DLL just installed: registered with the regsvr32 of its bitness, or the setup ends
; with everything put back.
Function RegisterOrFail
  Call DllBits
  StrCpy $2 ""
  Call RunRegsvr32
  ${If} $3 != 0
    ${LOG} "Registering $0 failed (regsvr32: $3)."
    StrCpy $0 "the add-in did not register (regsvr32: $3)."
    Call FailAndRestore
  ${EndIf}
FunctionEnd

Section "Quillamor" SecMain
  SectionIn RO
  ${If} $InstalledVersion == ""
    ${LOG} "Installing ${PRODUCT} ${VERSION} for all users of this computer."
  ${ElseIf} $InstalledVersion == "${VERSION}"
    ${LOG} "Repairing ${PRODUCT} ${VERSION}."
  ${Else}
    ${LOG} "Upgrading ${PRODUCT} $InstalledVersion to ${VERSION}."
  ${EndIf}

  CreateDirectory "$INSTDIR"
  ${If} $Dir32 != ""
    CreateDirectory "$Dir32"
  ${EndIf}
  Call MoveEarlierInstallationAside

  ; The DLL of Windows' own bitness with the uninstaller, and on 64-bit Windows the 32-bit one
  ; in a folder of its own; each finds its picture and help file beside it.
  SetOutPath "$INSTDIR"
  ClearErrors
  ${If} $Dir32 != ""
    File "/oname=Quillamor.dll" "${DLL64}"
  ${Else}
    File "/oname=Quillamor.dll" "${DLL32}"
  ${EndIf}
  File "/oname=contactsicon.gif" "${PICTURE}"
  File "/oname=Quillamor.chm" "${HELPFILE}"
  File "/oname=Uninstall.exe" "${UNINSTALLER}"
  WriteUninstaller "$INSTDIR\Uninstall.dat"
  ${If} $Dir32 != ""
    SetOutPath "$Dir32"
    File "/oname=Quillamor.dll" "${DLL32}"
    File "/oname=contactsicon.gif" "${PICTURE}"
    File "/oname=Quillamor.chm" "${HELPFILE}"
  ${EndIf}
  ${If} ${Errors}
    StrCpy $0 "its files could not be copied."
    Call FailAndRestore
  ${EndIf}
  Call DeleteObsoleteFiles

  ; The earlier DLLs' registrations go first (an earlier setup may have put a 32-bit DLL where
  ; the 64-bit one goes now, registered in the other view), then each new DLL is registered
  ; in the view of its bitness.
  ${If} $Backup != ""
    StrCpy $0 "$Backup\Quillamor.dll"
    Call UnregisterDll
  ${EndIf}
  ${If} $Backup32 != ""
    StrCpy $0 "$Backup32\Quillamor.dll"
    Call UnregisterDll
  ${EndIf}
  StrCpy $0 "$INSTDIR\Quillamor.dll"
  Call RegisterOrFail
  ${If} $Dir32 != ""
    StrCpy $0 "$Dir32\Quillamor.dll"
    Call RegisterOrFail
  ${EndIf}

  Call WriteAddinKey
  ${If} ${Errors}
    StrCpy $0 "it could not be entered in Outlook's list of add-ins."
    Call FailAndRestore
  ${EndIf}

  ${GetSize} "$INSTDIR" "/S=0K" $4 $5 $6
  ${If} $Dir32 != ""
    ${GetSize} "$Dir32" "/S=0K" $7 $5 $6
    IntOp $4 $4 + $7
  ${EndIf}
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Uninstall.dat"
  ; Both return when the removal is done.
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $4
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SetRegView default

  ; The earlier files go now; a DLL that Outlook still runs goes at the next restart.
  StrCpy $R8 $Backup
  Call DeleteBackup
  StrCpy $R8 $Backup32
  Call DeleteBackup
  ${If} ${RebootFlag}
    ${LOG} "Outlook has the earlier version loaded: it runs this one from its next start. Exit code ${EXIT_RESTART}."
    SetErrorLevel ${EXIT_RESTART}
  ${Else}
    ${LOG} "${PRODUCT} ${VERSION} is installed. Exit code ${EXIT_OK}."
    SetErrorLevel ${EXIT_OK}
  ${EndIf}
  FileClose $Log
SectionEnd

; --- Uninstaller -------------------------------------------------------------------------

Function un.onInit
  StrCpy $0 "QuillamorUninstall.log"
  Call un.OpenLog
  Call un.RequireAdministrator
FunctionEnd

Section "Uninstall"
  ${LOG} "Removing ${PRODUCT} from $INSTDIR."
  Call un.RemoveProduct
  ${If} ${RebootFlag}
    StrCpy $R0 ${EXIT_RESTART}
  ${Else}
    StrCpy $R0 ${EXIT_OK}
  ${EndIf}
  SetOutPath "$TEMP"
  ${LOG} "${PRODUCT} is removed. Exit code $R0."
  SetErrorLevel $R0
  FileClose $Log
SectionEnd
