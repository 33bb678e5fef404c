; Setup for Quillamor, for every user of the machine: the Outlook add-in DLL that matches the
; installed Outlook, its button picture, its help file, the COM registration, the Outlook
; add-in entry in the machine's part of the registry and an entry in the list of installed
; programs. The uninstaller takes away exactly those again, whoever runs it. A setup over an
; installed Quillamor upgrades it in place (or repairs it, when the versions are the same).
;
; Built by scripts/build-installer, which passes the file locations:
;   makensis -DDLL32=... -DDLL64=... -DPICTURE=... -DHELPFILE=... -DOUTFILE=... [-DVERSION=x.y.z]

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
!insertmacro REQUIRE_DEFINE OUTFILE

!define PRODUCT "Quillamor"
!define MAKER "Orvane Corporation"
; The add-in reads its picture and help file from this folder as it stands.
!define FIXED_DIR "C:\Program Files\${MAKER}\${PRODUCT}"
!define OFFICE_KEY "Software\Microsoft\Office"
!define ADDIN_PARENT "${OFFICE_KEY}\Outlook\Addins"
!define ADDIN_KEY "${ADDIN_PARENT}\Quillamor.Connect"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\${PRODUCT}"
; The ProgID through which the add-in creates the safe-item library's mail item.
!define SAFE_ITEM_PROGID "Redemption.SafeMailItem"
; The class of Outlook's main window: the DLL cannot be replaced or removed while Outlook has it.
!define OUTLOOK_WINDOW_CLASS "rctrl_renwnd32"

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

Var OutlookBits        ; "64" or "32": which build of the add-in this machine's Outlook loads
Var InstalledVersion   ; the version already installed, or ""
Var SafeItemsMissing   ; "1" when the safe-item library is not registered for that Outlook

!define MUI_ABORTWARNING
!ifdef SETUP_ICON
  !define MUI_ICON "${SETUP_ICON}"
  !define MUI_UNICON "${SETUP_ICON}"
!endif
!define MUI_WELCOMEPAGE_TEXT "Setup will install ${PRODUCT}, the Outlook add-in that files contacts into distribution lists, into $\"$INSTDIR$\".$\r$\n$\r$\nPlease close Outlook before you continue.$\r$\n$\r$\n${PRODUCT} needs the Redemption library, which is installed separately."
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_TEXT "${PRODUCT} is installed. Start Outlook and click Quillamor Wizard: in Outlook 2010 and later in the Quillamor group on the Home tab, in Outlook 2002, 2003 and 2007 on the Standard toolbar (or Quillamor on the Actions menu)."
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; --- Shared by the installer and the uninstaller ------------------------------------------

!macro SHARED_FUNCTIONS un

; Waits until Outlook is closed; gives up (and ends the setup) when the user cancels, or at
; once in a silent run.
Function ${un}RequireOutlookClosed
  ${Do}
    FindWindow $0 "${OUTLOOK_WINDOW_CLASS}"
    ${If} $0 = 0
      Return
    ${EndIf}
    MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Outlook is running. Please close Outlook, then click Retry." /SD IDCANCEL IDRETRY +2
    ${Break}
  ${Loop}
  SetErrorLevel 2
  Quit
FunctionEnd

; Without an administrator's rights (no elevation prompt where it is switched off) the
; machine's keys cannot be written: say so and change nothing.
Function ${un}RequireAdministrator
  UserInfo::GetAccountType
  Pop $0
  ${If} $0 != "Admin"
    MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} is installed for every user of this computer: installing or removing it needs an administrator's rights. Please run this program as an administrator." /SD IDOK
    SetErrorLevel 2
    Quit
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
        DetailPrint "Could not unregister $0 (regsvr32: $3)."
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

; Everything the installer adds, taken away: used by the uninstaller and by a setup that fails
; half way.
Function ${un}RemoveProduct
  StrCpy $0 "$INSTDIR\Quillamor.dll"
  Call ${un}UnregisterDll
  Delete "$INSTDIR\Quillamor.dll"
  Delete "$INSTDIR\contactsicon.gif"
  Call ${un}DeleteObsoleteFiles
  Delete "$INSTDIR\Quillamor.chm"
  Delete "$INSTDIR\Uninstall.exe"
  ; Only if empty: a folder holding files of the user's own is left. The setup's working
  ; folder cannot be removed, so step out of it first.
  SetOutPath "$TEMP"
  RMDir "$INSTDIR"
  RMDir "$INSTDIR\.."

  ; Both views: the key is in the view of the Outlook found when the setup last ran, and
  ; Outlook may have changed bitness since.
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

; A 64-bit Outlook records "x64" in the 64-bit view; a 32-bit one on 64-bit Windows records
; "x86" in the 32-bit view. Outlook before 2010 records nothing and is always 32-bit.
Function DetectOutlookBits
  StrCpy $OutlookBits "32"
  ${If} ${RunningX64}
    SetRegView 64
    Call ReadOutlookBitness
    ${If} $0 == ""
      SetRegView 32
      Call ReadOutlookBitness
    ${EndIf}
    SetRegView default
    ${If} $0 == "x64"
      StrCpy $OutlookBits "64"
    ${EndIf}
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

; Sets $SafeItemsMissing to "1" unless the safe-item library's class is registered, with its
; file present, in the registry view of the Outlook found: the add-in creates it in Outlook's
; process, which sees only that view.
Function CheckSafeItemLibrary
  StrCpy $SafeItemsMissing "1"
  ${If} $OutlookBits == "64"
    SetRegView 64
  ${Else}
    SetRegView 32
  ${EndIf}
  ReadRegStr $0 HKCR "${SAFE_ITEM_PROGID}\CLSID" ""
  ${If} $0 != ""
    ReadRegStr $1 HKCR "CLSID\$0\InprocServer32" ""
    ${If} $1 != ""
      ExpandEnvStrings $1 $1
      StrCpy $2 $1 1
      ${If} $2 == '"'
        StrCpy $1 $1 "" 1
        StrCpy $1 $1 -1
      ${EndIf}
      ${If} $OutlookBits == "64"
        ${DisableX64FSRedirection}
      ${EndIf}
      ${If} ${FileExists} "$1"
        StrCpy $SafeItemsMissing ""
      ${EndIf}
      ${If} $OutlookBits == "64"
        ${EnableX64FSRedirection}
      ${EndIf}
    ${EndIf}
  ${EndIf}
  SetRegView default
FunctionEnd

Function .onInit
  ; The add-in looks for its files in one fixed folder, so the folder is not the user's choice.
  StrCpy $INSTDIR "$PROGRAMFILES64\${MAKER}\${PRODUCT}"
  Call RequireOutlookClosed
  Call RequireAdministrator
  Call DetectOutlookBits

  Call ReadInstalledVersion
  ${If} $InstalledVersion != ""
    ${VersionCompare} "$InstalledVersion" "${VERSION}" $0
    ${If} $0 = 1
      MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} $InstalledVersion is installed on this computer, which is newer than this setup (${VERSION}). Setup has changed nothing." /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}

  ; Without the safe-item library the add-in starts but cannot make a list; the library
  ; comes from elsewhere and may be installed after Quillamor, so this only warns.
  Call CheckSafeItemLibrary
  ${If} $SafeItemsMissing == "1"
    MessageBox MB_OK|MB_ICONEXCLAMATION "${PRODUCT} needs the Redemption library to read your contacts and fill distribution lists, and Redemption is not installed on this computer for $OutlookBits-bit Outlook.$\r$\n$\r$\nSetup will install ${PRODUCT} anyway. Install Redemption before you make a list: until then ${PRODUCT} shows an error message when you try." /SD IDOK
  ${EndIf}
FunctionEnd

; Outlook's list of add-ins for every user: the machine's key in the registry view that the
; installed Outlook reads (32-bit Outlook on 64-bit Windows reads the 32-bit one), loaded at
; every start. Over an installed Quillamor, the load behaviour an administrator chose is kept;
; Outlook records each user's own choice in that user's key, which overrides this one.
Function WriteAddinKey
  StrCpy $3 ""
  ${If} $InstalledVersion != ""
    StrCpy $0 $OutlookBits
    Call ReadMachineLoadBehavior
    ${If} $3 == ""
    ${AndIf} ${RunningX64}
      ; Outlook changed bitness since: the choice was made in the other view.
      ${If} $OutlookBits == "64"
        StrCpy $0 "32"
      ${Else}
        StrCpy $0 "64"
      ${EndIf}
      Call ReadMachineLoadBehavior
    ${EndIf}
  ${EndIf}
  ${If} $3 == ""
    StrCpy $3 3
  ${EndIf}

  Call DeleteUserAddinKey
  ${If} ${RunningX64}
    ${If} $OutlookBits == "64"
      StrCpy $0 "32"
    ${Else}
      StrCpy $0 "64"
    ${EndIf}
    Call DeleteMachineAddinKey
  ${EndIf}

  ${If} $OutlookBits == "64"
    SetRegView 64
  ${Else}
    SetRegView 32
  ${EndIf}
  ClearErrors
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

Section "Quillamor" SecMain
  SectionIn RO
  DetailPrint "Outlook on this computer is $OutlookBits-bit."
  ${If} $InstalledVersion == ""
    DetailPrint "Installing ${PRODUCT} ${VERSION} for all users of this computer."
  ${ElseIf} $InstalledVersion == "${VERSION}"
    DetailPrint "Repairing ${PRODUCT} ${VERSION}."
  ${Else}
    DetailPrint "Upgrading ${PRODUCT} $InstalledVersion to ${VERSION}."
  ${EndIf}
  ${If} $SafeItemsMissing == "1"
    DetailPrint "The Redemption library is not installed: ${PRODUCT} cannot make lists until it is."
  ${EndIf}
  ${If} $INSTDIR != "${FIXED_DIR}"
    MessageBox MB_OK|MB_ICONEXCLAMATION "Program Files is not $\"C:\Program Files$\" on this computer. ${PRODUCT} will be installed into $\"$INSTDIR$\", but its buttons and help look in $\"${FIXED_DIR}$\" and will not find their files." /SD IDOK
  ${EndIf}

  ; An earlier installation may hold the other build (Outlook changed bitness since): its
  ; registration lives in the other registry view and has to go first.
  StrCpy $0 "$INSTDIR\Quillamor.dll"
  Call UnregisterDll

  SetOutPath "$INSTDIR"
  ClearErrors
  ${If} $OutlookBits == "64"
    File "/oname=Quillamor.dll" "${DLL64}"
  ${Else}
    File "/oname=Quillamor.dll" "${DLL32}"
  ${EndIf}
  File "/oname=contactsicon.gif" "${PICTURE}"
  File "/oname=Quillamor.chm" "${HELPFILE}"
  WriteUninstaller "$INSTDIR\Uninstall.exe"
  ${If} ${Errors}
    Goto failed
  ${EndIf}
  Call DeleteObsoleteFiles

  StrCpy $0 "$INSTDIR\Quillamor.dll"
  StrCpy $1 $OutlookBits
  StrCpy $2 ""
  Call RunRegsvr32
  ${If} $3 != 0
    DetailPrint "Registering the add-in failed (regsvr32: $3)."
    Goto failed
  ${EndIf}

  Call WriteAddinKey
  ${If} ${Errors}
    DetailPrint "Entering the add-in in Outlook's list of add-ins failed."
    Goto failed
  ${EndIf}

  ${GetSize} "$INSTDIR" "/S=0K" $4 $5 $6
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "${MAKER}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Uninstall.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $4
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  SetRegView default
  Return

failed:
  ; Leave nothing half installed behind.
  Call RemoveProduct
  MessageBox MB_OK|MB_ICONSTOP "${PRODUCT} could not be installed: the add-in could not be copied, registered or entered in Outlook's list of add-ins. Setup has taken away what it had installed." /SD IDOK
  SetErrorLevel 2
  Abort
SectionEnd

; --- Uninstaller -------------------------------------------------------------------------

Function un.onInit
  Call un.RequireOutlookClosed
  Call un.RequireAdministrator
FunctionEnd

Section "Uninstall"
  Call un.RemoveProduct
SectionEnd
