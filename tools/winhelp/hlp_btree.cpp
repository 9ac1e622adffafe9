#include "winhelp/hlp_btree.h"

#include <cstring>

#include "library/bytes.h"
#include "winhelp/hlp_format.h"

namespace winhelp {
namespace {

void PutU16(std::vector<uint8_t>& out, size_t at, uint16_t v) {
  out[at] = uint8_t(v);
  out[at + 1] = uint8_t(v >> 8);
}

struct Child {
  uint16_t page;
  const std::vector<uint8_t>* firstKey;
};

}  // namespace

std::vector<uint8_t> BuildBTree(const std::vector<BTreeEntry>& entries, uint16_t pageSize, uint16_t flags,
                                const char* structure) {
  std::vector<std::vector<uint8_t>> pages;
  std::vector<Child> children;  // the pages of the level being built, with their first keys
  std::vector<uint16_t> counts;

  // Leaves, filled in order; a tree without entries still has one empty leaf.
  static const std::vector<uint8_t> kNoKey;
  for (const BTreeEntry& e : entries) {
    const size_t size = e.key.size() + e.value.size();
    if (size + kLeafHeaderSize > pageSize) return {};
    if (pages.empty() || pages.back().size() + size > pageSize) {
      pages.emplace_back(kLeafHeaderSize, 0);
      counts.push_back(0);
      children.push_back({uint16_t(pages.size() - 1), &e.key});
    }
    pages.back().insert(pages.back().end(), e.key.begin(), e.key.end());
    pages.back().insert(pages.back().end(), e.value.begin(), e.value.end());
    ++counts.back();
  }
  if (pages.empty()) {
    pages.emplace_back(kLeafHeaderSize, 0);
    counts.push_back(0);
    children.push_back({0, &kNoKey});
  }
  const size_t leaves = pages.size();
  for (size_t i = 0; i < leaves; ++i) {
    std::vector<uint8_t>& p = pages[i];
    PutU16(p, 0, uint16_t(pageSize - p.size()));
    PutU16(p, 2, counts[i]);
    PutU16(p, 4, i == 0 ? 0xFFFF : uint16_t(i - 1));
    PutU16(p, 6, i + 1 == leaves ? 0xFFFF : uint16_t(i + 1));
  }

  // Index levels until one page holds the whole level.
  uint16_t levels = 1;
  while (children.size() > 1) {
    std::vector<Child> parents;
    for (size_t i = 0; i < children.size(); ++i) {
      const size_t entrySize = children[i].firstKey->size() + 2;
      const bool startPage = parents.empty() || pages.back().size() + entrySize > pageSize;
      if (startPage) {
        if (entrySize + kIndexHeaderSize > pageSize) return {};
        pages.emplace_back(kIndexHeaderSize, 0);
        PutU16(pages.back(), 2, 0);
        PutU16(pages.back(), 4, children[i].page);
        parents.push_back({uint16_t(pages.size() - 1), children[i].firstKey});
        continue;
      }
      std::vector<uint8_t>& p = pages.back();
      p.insert(p.end(), children[i].firstKey->begin(), children[i].firstKey->end());
      p.push_back(uint8_t(children[i].page));
      p.push_back(uint8_t(children[i].page >> 8));
      PutU16(p, 2, uint16_t(lmx::LoadU16(p.data() + 2) + 1));
    }
    for (const Child& parent : parents) PutU16(pages[parent.page], 0, uint16_t(pageSize - pages[parent.page].size()));
    children = std::move(parents);
    ++levels;
  }

  std::vector<uint8_t> tree(kBTreeHeaderSize, 0);
  PutU16(tree, kBTreeMagicAt, kBTreeMagic);
  PutU16(tree, kBTreeFlagsAt, flags);
  PutU16(tree, kBTreePageSizeAt, pageSize);
  std::strncpy(reinterpret_cast<char*>(tree.data() + kBTreeStructureAt), structure, 15);
  PutU16(tree, kBTreeRootAt, children[0].page);
  PutU16(tree, kBTreeMinusOneAt, 0xFFFF);
  PutU16(tree, kBTreePagesAt, uint16_t(pages.size()));
  PutU16(tree, kBTreeLevelsAt, levels);
  lmx::StoreU32(tree.data() + kBTreeEntriesAt, uint32_t(entries.size()));
  for (std::vector<uint8_t>& p : pages) {
    p.resize(pageSize, 0);
    tree.insert(tree.end(), p.begin(), p.end());
  }
  return tree;
}

bool WalkBTree(const uint8_t* tree, size_t size, const LeafEntrySize& entrySize, const LeafVisitor& visit,
               std::string* error) {
  if (size < kBTreeHeaderSize) {
    *error = "B+ tree header cut short";
    return false;
  }
  const uint16_t magic = lmx::LoadU16(tree + kBTreeMagicAt);
  if (magic != kBTreeMagic) {
    *error = "not a B+ tree (magic " + std::to_string(magic) + ")";
    return false;
  }
  const size_t pageSize = lmx::LoadU16(tree + kBTreePageSizeAt);
  const size_t total = lmx::LoadU16(tree + kBTreePagesAt);
  const size_t root = lmx::LoadU16(tree + kBTreeRootAt);
  const size_t levels = lmx::LoadU16(tree + kBTreeLevelsAt);
  const uint32_t stated = lmx::LoadU32(tree + kBTreeEntriesAt);
  if (pageSize < kLeafHeaderSize) {
    *error = "B+ tree page size " + std::to_string(pageSize) + " is too small";
    return false;
  }
  const size_t held = (size - kBTreeHeaderSize) / pageSize;
  if (total == 0 || total > held) {
    *error = "B+ tree of " + std::to_string(total) + " pages, but its file holds " + std::to_string(held);
    return false;
  }
  if (levels == 0 || levels > total) {
    *error = "B+ tree of " + std::to_string(levels) + " levels in " + std::to_string(total) + " pages";
    return false;
  }
  auto page = [&](size_t n) { return tree + kBTreeHeaderSize + n * pageSize; };
  size_t current = root;
  for (size_t level = 1; level < levels; ++level) {
    if (current >= total) {
      *error = "B+ tree index names page " + std::to_string(current) + " of " + std::to_string(total);
      return false;
    }
    current = lmx::LoadU16(page(current) + 4);
  }
  uint32_t seen = 0;
  for (size_t visited = 0; current != 0xFFFF; ++visited) {
    if (current >= total || visited >= total) {
      *error = current >= total ? "B+ tree leaf chain names page " + std::to_string(current) + " of " +
                                      std::to_string(total)
                                : "B+ tree leaf chain runs in a circle";
      return false;
    }
    const uint8_t* p = page(current);
    const int16_t count = int16_t(lmx::LoadU16(p + 2));
    if (count < 0) {
      *error = "B+ tree page " + std::to_string(current) + " has a negative entry count";
      return false;
    }
    size_t at = kLeafHeaderSize;
    for (int i = 0; i < count; ++i) {
      const size_t n = entrySize(p + at, pageSize - at);
      if (n == 0) {
        *error = "B+ tree page " + std::to_string(current) + ": entry " + std::to_string(i) + " runs past the page";
        return false;
      }
      visit(p + at, n);
      at += n;
      ++seen;
    }
    current = lmx::LoadU16(p + 6);
  }
  if (seen != stated) {
    *error = "B+ tree header counts " + std::to_string(stated) + " entries, its leaves hold " + std::to_string(seen);
    return false;
  }
  return true;
}

}  // namespace winhelp
