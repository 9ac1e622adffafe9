// B+ trees of a help file: building one from sorted entries, and walking the leaves of
// one read from a file with every page and entry checked against its bounds.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace winhelp {

struct BTreeEntry {
  std::vector<uint8_t> key;    // what index pages repeat
  std::vector<uint8_t> value;  // what follows the key in a leaf
};

// The B+ tree (header and pages, without the internal file header) of entries already in
// the tree's key order. Fails (empty result) when one entry does not fit a page.
std::vector<uint8_t> BuildBTree(const std::vector<BTreeEntry>& entries, uint16_t pageSize, uint16_t flags,
                                const char* structure);

// Size of the leaf entry at data[0..size), 0 when it does not fit.
using LeafEntrySize = std::function<size_t(const uint8_t* data, size_t size)>;
// Called with each leaf entry in order.
using LeafVisitor = std::function<void(const uint8_t* entry, size_t size)>;

// Walks every leaf entry of the tree at tree[0..size) (the internal file's content).
// False with a reason when the tree is damaged.
bool WalkBTree(const uint8_t* tree, size_t size, const LeafEntrySize& entrySize, const LeafVisitor& visit,
               std::string* error);

}  // namespace winhelp
