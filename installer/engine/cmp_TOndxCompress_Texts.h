#pragma once
// The archive compressor's messages. They stay English (they are not put
// through the translator); "%s" and "%d" are filled with Format.

inline constexpr char kOcInvalidHeader[] = "Tried to add an invalid file header";
inline constexpr char kOcBadHeaderIndex[] =
    "%d is an invalid TFileHeader index in TFileHeaders.GetFileHeaders";
inline constexpr char kOcBadFileIndex[] = "Tried to access the %dth file. This file is not defined";
inline constexpr char kOcCannotOpenArchive[] = "Cannot open the compressed file %s";
inline constexpr char kOcCannotReadCount[] =
    "Could not read the file header count for the compressed file";
inline constexpr char kOcCorrupt[] =
    "Could not read the file headers for the compressed file. The Archive file could possible "
    "be corrupt";
inline constexpr char kOcCannotWriteHeaders[] =
    "Could not write the file headers for the compressed file";
inline constexpr char kOcCannotCreate[] = "Cannot create the file %s";
inline constexpr char kOcCannotOpen[] = "Cannot open the file %s";
inline constexpr char kOcNilDestFile[] = "AddStatus has Nil DestFile";
inline constexpr char kOcNotInArchive[] = "The file <%s> was not found in the archive <%s>";
inline constexpr char kOcCompareFailed[] = "Error comparing file versions in TOndxCompress";
inline constexpr char kOcSizeMismatch[] =
    "The decompressed file's size does not match with the actual size of the file.  The file "
    "is %s";
inline constexpr char kOcCannotSetDate[] = "Cannot set the date of the file just extracted.";
inline constexpr char kOcWrongDisk[] = "Could not open the correct disk file %d";
inline constexpr char kOcNoNewDiskHandler[] =
    "There was no event handler for the OnNewDisk event, therefore no new disk could be inserted";
inline constexpr char kOcTooLittleSpace[] = "There is too little space on this disk to operate";

// Limits of the format that the archive refuses instead of cutting or wrapping.
inline constexpr char kOcNameTooLong[] =
    "The name %s is longer than the 100 bytes that the compressed file holds for a name";
inline constexpr char kOcVersionTooLong[] =
    "The version %s of the file %s is too long for the compressed file";
inline constexpr char kOcBadFileDate[] = "The date of the file %s cannot be kept in the compressed file";
inline constexpr char kOcFileTooLarge[] = "The file %s is too large for the compressed file";
inline constexpr char kOcArchiveTooLarge[] = "The compressed file %s would grow beyond 2 GB";
inline constexpr char kOcDuplicateName[] = "The file %s is already in the compressed file %s";
inline constexpr char kOcCannotAppendSplit[] =
    "Cannot add files to the split compressed file %s";
