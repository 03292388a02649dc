#pragma once
// The install file's English texts; they are also the keys of the language
// tables, so they are kept word for word.

inline constexpr char kIfNeedsFileContainer[] =
    "The following TInstallFile component %s requires the Container property to be a component "
    "descended from the TFileContainer component";
inline constexpr char kIfDuplicateFile[] = "There is already a file with the name :%s";
inline constexpr char kIfShared83[] =
    "The following file :%s: is specified to be a Shared DLL file. To be installed on the user's "
    "system, shared DLLs must be loaded into the WININIT.INI. However, the WININIT.INI supports "
    "only old 8.3 character filenames";
inline constexpr char kIfDestBlank[] =
    "Cannot compress,copy, or install the following file because it's destination directory is "
    "blank. File is :%s";
inline constexpr char kIfArchiveBlank[] =
    "Cannot either compress or decompress the following file because it's archive file property "
    "is blank. File is :%s";
inline constexpr char kIfInsertDisk[] = "Please insert disk #%d";
inline constexpr char kIfCannotRegisterMove[] =
    "%s cannot register a routine in the register to move the files after the computer is reboot";
inline constexpr char kIfNoSharedDLLsKey[] =
    "Could not open the key SharedDLLs key in the registry. File component %s. GetLastError "
    "return: %d";
inline constexpr char kIfLoadLibrary[] =
    "Could not register the ActiveX component, %s, because the LoadLibrary(%s) procedure returned "
    "a value of 0. The file component is %s. The following value is the value of the GetLastError "
    "function: %d";
inline constexpr char kIfNoRegisterServer[] =
    "Could not register the ActiveX component, %s, because the DllRegisterServer function could "
    "not be found. The file component is %s. The following value is the value of the GetLastError "
    "function: %d";
inline constexpr char kIfRegisterServerFailed[] =
    "Could not register the ActiveX component, %s, because the DllRegisterServer function "
    "returned a value of %d. The file component is %s";
inline constexpr char kIfWinExec[] =
    "Could not register the ActiveX component, %s, because the WinExec(%s,SW_HIDE) function "
    "returned a value < 32. The file component is %s. The following value is the value of the "
    "GetLastError function: %d";
inline constexpr char kIfNoContainerForInfo[] =
    "%s cannot perform ReadInfoFromArchive because either no container is assigned or the "
    "container is not TFileContainer";
inline constexpr char kIfCannotReadInfo[] =
    "Could not open or find the following file when trying to read the Size, Date, and Version :%s";
inline constexpr char kIfBlankListEntry[] =
    "Cannot add a blank entry to the TCustomInstallFileList object";

// What the user is told when a file cannot be unpacked from its archive
// (the setup file): the archive, the member and what to do.
inline constexpr char kIfArchiveDamaged[] =
    "The setup file %s is damaged or incomplete: %s cannot be unpacked from it. Get a new copy of "
    "the setup and run it again.";
inline constexpr char kIfNotInArchive[] =
    "The setup file %s does not contain %s. Get a new copy of the setup and run it again.";
inline constexpr char kIfCannotOpenArchive[] =
    "The setup file %s could not be opened to unpack %s. Check that the file is there and that "
    "you may read it, then run the setup again.";
inline constexpr char kIfWrongDisk[] =
    "The setup file %s was not found, so %s could not be unpacked. Run the setup again and insert "
    "the right disk, or give the folder that holds that file, when the setup asks for it.";
inline constexpr char kIfCannotWrite[] =
    "The file %s could not be written. It is %s from the setup file %s. Check that you may write "
    "in that folder, then run the setup again.";
inline constexpr char kIfCannotUnpack[] =
    "%s could not be unpacked from the setup file %s (%s). Run the setup again, and if the error "
    "comes back, get a new copy of the setup.";
