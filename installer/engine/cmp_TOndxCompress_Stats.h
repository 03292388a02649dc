#pragma once
// TlzhFileStats: the statistics record that the compressor hands to every
// event and that the copy-progress page reads.

#include "installer/engine/cmp_TOndxCompress_Format.h"

#include <QString>

#include <cstdint>

struct TlzhFileStats {
  std::uint8_t FilePercent = 0;     // percent of the current file done
  std::int32_t BytesDone = 0;       // bytes of the current file done
  QString FileName;                 // stored source name, or a copy's source path
  std::int32_t CompressedSize = 0;  // while adding: compressed bytes so far
  std::uint8_t Ratio = 0;           // CompressedSize as a percent of FileSize
  std::int32_t FileSize = 0;        // uncompressed size of the current file
  TFileHeaderRec Header;            // the current member header
  bool Done = false;                // true in the last status event of a file
  std::uint8_t TotalPercent = 0;    // percent of the whole operation done
  std::int32_t TotalDone = 0;       // bytes of the whole operation done
  std::int32_t TotalCompressed = 0;
  std::uint8_t TotalRatio = 0;      // TotalCompressed as a percent of TotalSize
  std::int32_t TotalSize = 0;
};

// part / whole x 100 rounded to the nearest integer, halves to the even
// neighbour; 0 when whole is 0. Held in a byte, so it stops at 255.
std::uint8_t OcPercent(double part, double whole);
