// Reads a WinHelp 3.1 file of the kind hlp_writer writes (uncompressed topic blocks, no
// phrases) back into topics, titles, context hashes and map numbers. Every offset, count
// and length is checked against the file; a damaged file gives a reason, never a crash.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace winhelp {

struct InternalFileEntry {
  std::string name;
  uint32_t offset = 0;  // of its 9-byte header in the file
  uint32_t size = 0;    // used space
};

struct ReadTopic {
  uint32_t offset = 0;  // topic offset, what contexts and map numbers point at
  uint32_t position = 0;  // of its header record in the topic stream
  uint32_t number = 0;
  std::string title;
  std::vector<std::string> paragraphs;  // text of each paragraph (line breaks as '\n')
  std::vector<int32_t> links;           // context hashes its hot spots jump to, in order
};

struct ReadContext {
  int32_t hash;
  uint32_t offset;
};

struct ReadMapEntry {
  uint32_t number;
  uint32_t offset;
};

struct ReadTitle {
  uint32_t offset;
  std::string title;
};

struct HelpFile {
  uint32_t fileSize = 0;
  uint16_t minorVersion = 0;
  uint16_t flags = 0;
  std::string title, copyright;
  std::string mainCaption;  // the caption of the window named "main", if the file defines it
  uint32_t contentsOffset = 0xFFFFFFFF;
  size_t fontCount = 0;
  std::vector<InternalFileEntry> files;
  std::vector<ReadTopic> topics;  // in file order
  std::vector<ReadContext> contexts;
  std::vector<ReadMapEntry> map;
  std::vector<ReadTitle> titles;

  // The topic whose offset is exactly offset, nullptr when none starts there.
  const ReadTopic* TopicAt(uint32_t offset) const;
};

// False with a reason in *error ("file cut short: ...", "internal directory damaged: ...").
bool ReadHelpFile(const std::vector<uint8_t>& bytes, HelpFile* out, std::string* error);

}  // namespace winhelp
