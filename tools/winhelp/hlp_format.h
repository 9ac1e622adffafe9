// Layout of a WinHelp 3.1 help file (.HLP), as far as this tool writes and reads it: the
// file header, internal files each behind a 9-byte header, B+ trees (the internal
// directory, |CONTEXT, |TTLBTREE), |SYSTEM records, |FONT, |CTXOMAP, and |TOPIC as
// uncompressed 4096-byte blocks of TOPICLINK records. All integers are little-endian.
// Offsets are from the start of each structure.
#pragma once

#include <cstddef>
#include <cstdint>

namespace winhelp {

// File header, 16 bytes at offset 0.
inline constexpr uint32_t kFileMagic = 0x00035F3F;
inline constexpr size_t kFileHeaderSize = 16;
inline constexpr size_t kFileMagicAt = 0, kDirectoryStartAt = 4, kFirstFreeBlockAt = 8, kFileSizeAt = 12;
static_assert(kFileSizeAt + 4 == kFileHeaderSize);

// Every internal file starts with: reserved space (u32, this header included), used
// space (u32, without the header), flags (u8).
inline constexpr size_t kInternalHeaderSize = 9;
inline constexpr size_t kReservedAt = 0, kUsedAt = 4, kInternalFlagsAt = 8;
static_assert(kInternalFlagsAt + 1 == kInternalHeaderSize);
inline constexpr uint8_t kInternalFlags = 4;

// B+ tree header, 38 bytes after the internal file header; its pages follow.
inline constexpr uint16_t kBTreeMagic = 0x293B;
inline constexpr size_t kBTreeHeaderSize = 38;
inline constexpr size_t kBTreeMagicAt = 0, kBTreeFlagsAt = 2, kBTreePageSizeAt = 4, kBTreeStructureAt = 6,
                        kBTreeZeroAt = 22, kBTreeSplitsAt = 24, kBTreeRootAt = 26, kBTreeMinusOneAt = 28,
                        kBTreePagesAt = 30, kBTreeLevelsAt = 32, kBTreeEntriesAt = 34;
static_assert(kBTreeStructureAt + 16 == kBTreeZeroAt && kBTreeEntriesAt + 4 == kBTreeHeaderSize);
// Leaf pages: free bytes (u16), entries (i16), previous and next leaf (i16, -1 none).
inline constexpr size_t kLeafHeaderSize = 8;
// Index pages: free bytes (u16), entries (i16), first child (i16); each entry is a key and
// the page (i16) of the keys from it on.
inline constexpr size_t kIndexHeaderSize = 6;
inline constexpr uint16_t kDirectoryPageSize = 1024, kTreePageSize = 2048;
inline constexpr uint16_t kDirectoryTreeFlags = 0x0402, kTreeFlags = 0x0002;

// |SYSTEM header, 12 bytes, then records of type (u16), size (u16) and data.
inline constexpr uint16_t kSystemMagic = 0x036C;
inline constexpr uint16_t kMinorVersion31 = 21, kMajorVersion = 1;
inline constexpr size_t kSystemHeaderSize = 12;
inline constexpr size_t kSystemMagicAt = 0, kSystemMinorAt = 2, kSystemMajorAt = 4, kSystemDateAt = 6,
                        kSystemFlagsAt = 10;
static_assert(kSystemFlagsAt + 2 == kSystemHeaderSize);
inline constexpr uint16_t kSystemTitle = 1, kSystemCopyright = 2, kSystemContents = 3, kSystemWindow = 6;
// A window definition (record type 6, 90 bytes): flags (u16) saying which fields hold,
// type (10 chars), name (9), caption (51), x, y, width, height, show state (u16 each),
// then the scrolling and non-scrolling regions' colours (u32 each). The viewer captions
// the window named "main" with it.
inline constexpr size_t kWindowRecordSize = 90;
inline constexpr size_t kWindowFlagsAt = 0, kWindowTypeAt = 2, kWindowNameAt = 12, kWindowCaptionAt = 21,
                        kWindowPlacementAt = 72, kWindowColorsAt = 82;
inline constexpr size_t kWindowTypeSize = 10, kWindowNameSize = 9, kWindowCaptionSize = 51;
static_assert(kWindowTypeAt + kWindowTypeSize == kWindowNameAt && kWindowNameAt + kWindowNameSize == kWindowCaptionAt);
static_assert(kWindowCaptionAt + kWindowCaptionSize == kWindowPlacementAt && kWindowPlacementAt + 10 == kWindowColorsAt);
static_assert(kWindowColorsAt + 8 == kWindowRecordSize);
inline constexpr uint16_t kWindowHasType = 0x0001, kWindowHasName = 0x0002, kWindowHasCaption = 0x0004;
inline constexpr char kMainWindow[] = "main";

// |TOPIC: blocks of 4096 bytes, a 12-byte header (last TOPICLINK before the block, first
// TOPICLINK in it, last topic header before it) and 4084 bytes of the record stream.
// A position in the stream is (block << 14) + 12 + offset in the block's data.
inline constexpr size_t kTopicBlockSize = 4096, kTopicBlockHeaderSize = 12;
inline constexpr size_t kTopicBlockData = kTopicBlockSize - kTopicBlockHeaderSize;
inline constexpr uint32_t kNoLink = 0xFFFFFFFF;

// TOPICLINK record header, 21 bytes; LinkData1 follows to DataLen1, LinkData2 (stored
// uncompressed, so DataLen2 bytes) to BlockSize.
inline constexpr size_t kLinkHeaderSize = 21;
inline constexpr size_t kLinkBlockSizeAt = 0, kLinkDataLen2At = 4, kLinkPrevAt = 8, kLinkNextAt = 12,
                        kLinkDataLen1At = 16, kLinkTypeAt = 20;
static_assert(kLinkTypeAt + 1 == kLinkHeaderSize);
inline constexpr uint8_t kRecordTopicHeader = 0x02, kRecordParagraph = 0x20;

// Topic header (LinkData1 of a type 2 record), 28 bytes; LinkData2 is the title.
inline constexpr size_t kTopicHeaderSize = 28;
inline constexpr size_t kTopicBlockSizeAt = 0, kTopicBrowseBackAt = 4, kTopicBrowseForwardAt = 8,
                        kTopicNumberAt = 12, kTopicNonScrollAt = 16, kTopicScrollAt = 20, kTopicNextAt = 24;
static_assert(kTopicNextAt + 4 == kTopicHeaderSize);

// Paragraph formatting commands between the texts of LinkData2.
inline constexpr uint8_t kCmdFont = 0x80, kCmdLineBreak = 0x81, kCmdParagraphEnd = 0x82, kCmdTab = 0x83,
                         kCmdLinkEnd = 0x89, kCmdNonBreakSpace = 0x8B, kCmdHyphen = 0x8C, kCmdPopupLink = 0xE2,
                         kCmdJumpLink = 0xE3, kCmdEnd = 0xFF;
// Paragraph bits: space below follows as a compressed short.
inline constexpr uint16_t kParagraphSpaceBelow = 0x0004;

// |FONT: face name count, descriptor count, face names offset, descriptors offset (u16
// each); face names of 20 bytes; descriptors of 11 bytes: flags (1 bold), half points,
// family (3 swiss), face index (u16), foreground RGB, background RGB.
inline constexpr size_t kFontHeaderSize = 8, kFaceNameSize = 20, kFontDescriptorSize = 11;

// Topic offsets (what |CONTEXT, |CTXOMAP, |TTLBTREE and the contents record hold): the
// block of the record * 0x8000 + the characters of the paragraphs before it that start
// in that block.
inline constexpr uint32_t kTopicOffsetBlock = 0x8000;

}  // namespace winhelp
