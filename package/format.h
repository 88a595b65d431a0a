// The byte layout of a package: ZIP with its own local header signature.
// Shared by the reader and the packaging tool's writer.
#pragma once

#include <cstdint>

// Every local file header starts with "PUU" 0x04, not the usual 50 4B 03 04.
constexpr uint32_t kLocalHeaderSignature = 0x04555550;
constexpr uint32_t kStandardLocalHeaderSignature = 0x04034B50;
constexpr uint32_t kCentralRecordSignature = 0x02014B50;
constexpr uint32_t kEndRecordSignature = 0x06054B50;

constexpr uint32_t kLocalHeaderSize = 30;
constexpr uint32_t kCentralRecordSize = 46;
constexpr uint32_t kEndRecordSize = 22;

constexpr uint32_t kMethodStored = 0;
constexpr uint32_t kMethodDeflate = 8;

// General purpose flag bit 3: sizes and CRC-32 are in a data descriptor, so
// the local header's copies are not compared.
constexpr uint32_t kFlagDataDescriptor = 0x0008;

// The end record lies within the last 65,535 bytes (22 bytes + comment).
constexpr uint32_t kEndRecordSearchSpan = 65535;
constexpr uint32_t kMaxEntries = 65535;
constexpr uint32_t kMaxCommentLength = 65535 - kEndRecordSize;

// Extended timestamp sub-field "UT" and its flags.
constexpr uint16_t kExtendedTimestampId = 0x5455;
constexpr uint8_t kTimestampModification = 0x01;
constexpr uint8_t kTimestampAccess = 0x02;
constexpr uint8_t kTimestampCreation = 0x04;

// External attributes: Unix mode in the high half, MS-DOS attributes low.
constexpr uint32_t kExternalUnixDirectory = 1u << 30;
constexpr uint32_t kExternalUnixOwnerWrite = 1u << 23;
constexpr uint32_t kExternalDosReadOnly = 0x01;
constexpr uint32_t kExternalDosHidden = 0x02;
constexpr uint32_t kExternalDosSystem = 0x04;
constexpr uint32_t kExternalDosDirectory = 0x10;
constexpr uint32_t kExternalDosArchive = 0x20;

// Entries are read and written in pieces of this size.
constexpr uint32_t kChunkSize = 16384;
