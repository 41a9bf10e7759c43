// On-disk constants of the tome file (.lv). The full byte map is documented once, at the writer
// (tome_builder.cpp); readers refer to it.
#pragma once

#include <cstdint>

namespace lv {

// Identity words at offsets 0..15 of every tome the builder writes; the tome reader does not examine
// them (the Palm export checks the third).
inline constexpr uint32_t kTomeIdentity[4] = {0x10000037u, 0x1000006Du, 0x100016D2u, 0xFCDDF4DCu};
// The Palm export also accepts this value as the third identity word.
inline constexpr uint32_t kTomeIdentity3Alternative = 0x10004297u;

// Versions: below 2000 is the read-only version-1 layout; 2000 and 2001 read alike; above is refused.
inline constexpr int32_t kFirstCurrentVersion = 2000;
inline constexpr int32_t kWrittenVersion = 2001;

// Header: 4 identity words + version + sorted flag + subject count + chunk count + chunk area length.
inline constexpr int kHeaderSize = 36;
inline constexpr int kVersionOffset = 16;
inline constexpr int kSortedFlagOffset = 20;
inline constexpr int kSubjectCountOffset = 24;
inline constexpr int kChunkCountOffset = 28;
inline constexpr int kChunkAreaLengthOffset = 32;

// Chunk header: type + skippable flag + data length.
inline constexpr int kChunkHeaderSize = 12;
inline constexpr int32_t kChunkTypeBookmarks = 1;
// The text-encoding chunk: not skippable (a reader that does not know it must refuse the tome rather
// than show it garbled); its data is the encoding's ASCII name padded with 0x00 to 8 bytes. Written
// right after the bookmark chunk of a UTF-8 tome only; a tome without it is Windows-1252.
inline constexpr int32_t kChunkTypeTextEncoding = 2;
inline constexpr int kTextEncodingDataSize = 8;
inline constexpr char kUtf8EncodingData[kTextEncodingDataSize] = {'U', 'T', 'F', '-', '8', 0, 0, 0};

// Bookmark table: 51 records of name length (4) + subject number (4) + reserved (4) + name (81).
inline constexpr int kBookmarkRecordCount = 51;
inline constexpr int kBookmarkNameSize = 81;
inline constexpr int kBookmarkRecordSize = 12 + kBookmarkNameSize;                        // 93
inline constexpr int kBookmarkTableSize = kBookmarkRecordCount * kBookmarkRecordSize;     // 4743
inline constexpr int kWrittenChunkAreaLength = kChunkHeaderSize + kBookmarkTableSize;     // 4755
inline constexpr int kWrittenBookmarkTableOffset = kHeaderSize + kChunkHeaderSize;        // 48
inline constexpr int kWrittenSubjectTableOffset = kHeaderSize + kWrittenChunkAreaLength;  // 4791
// A UTF-8 tome: the text-encoding chunk follows the bookmark chunk.
inline constexpr int kWrittenUtf8ChunkAreaLength =
    kWrittenChunkAreaLength + kChunkHeaderSize + kTextEncodingDataSize;                           // 4775
inline constexpr int kWrittenUtf8SubjectTableOffset = kHeaderSize + kWrittenUtf8ChunkAreaLength;  // 4811

// Text sections: section length + block count + block size, then 8 bytes per block.
inline constexpr int kSectionHeaderSize = 12;
inline constexpr int kBlockTableEntrySize = 8;
inline constexpr int kWrittenBlockSize = 25000;

// Entry records.
inline constexpr uint8_t kRecordFlagsWhole = 0x60;
inline constexpr uint8_t kRecordFlagsExtended = 0xE0;
inline constexpr uint8_t kRecordFlagExtensionBit = 0x80;
inline constexpr int kEntryHeadLength = 150;  // bytes of entry text kept in the record itself

// The reader decodes this much of the next block behind the current one, so that an entry record
// starting in one block and ending in the next reads as one run. A record must therefore never run
// more than kRecordLookAhead bytes past the end of the block it starts in.
inline constexpr int kNextBlockHeadDecoded = 2001;
inline constexpr int kRecordLookAhead = 2000;
// The longest entry record the builder writes (its subjects are cut to fit).
inline constexpr int kMaxRecordLength = kNextBlockHeadDecoded;
// The longest record a reader reads: one that starts at the beginning of a written block and ends in
// the decoded head of the next. Every record ends within kNextBlockHeadDecoded bytes past the end of
// the block it starts in and is no longer than this; the reader cuts a damaged record there.
inline constexpr int kLongestReadableRecord = kWrittenBlockSize + kNextBlockHeadDecoded;
// The longest text stream the builder writes; an entry text is never longer than its head plus this.
inline constexpr int64_t kMaxTextStreamLength = 1900000000;

// Version-1 layout.
inline constexpr int32_t kV1ReservedTailMark = 1000;
inline constexpr int32_t kV1BookmarksMark = 500;
inline constexpr int kV1ReservedTailSize = 88;
inline constexpr int kV1HeaderFixedSize = 28;  // identity (16) + version + subject count + header length
inline constexpr int kV1SubjectCountOffset = 20;
inline constexpr int kV1HeaderLengthOffset = 24;

}  // namespace lv
