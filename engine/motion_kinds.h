// The catalogue of motion kinds: the word an effect file carries as its second type
// ("ITYP"), which the selection front end stores without interpreting, and which the
// engine renders. Effect authors pick a kind and give its options these tags.
#pragma once

#include <cstdint>

namespace lmx {

enum class MotionKind : uint32_t {
  Default = 0,  // unknown kinds render as Plane
  Plane = 1,    // the whole picture flies as one plane
  Tiles = 2,    // a grid of tiles flies apart
  Strips = 3,   // strips (vertical or horizontal) peel off one after another
  Doors = 4,    // two doors swing open about their outer edges
  Cube = 5,     // the picture is one face of a turning cube
  Page = 6,     // a page turns over
  Shards = 7,   // triangular shards burst outwards
  Spiral = 8,   // tiles spiral out from the centre
};

inline constexpr uint32_t kMotionKindCount = 9;

// Option tags (the u16 tag of an effect option, carried into the settings block's
// special values). A kind reads the tags that make sense for it and ignores the rest.
enum OptionTag : uint16_t {
  TagRows = 1,       // slider, 1 to 8
  TagColumns = 2,    // slider, 1 to 8
  TagSpin = 3,       // slider, 0 to 720 degrees of turn along the path
  TagLift = 4,       // slider, 0 to 100: how far towards the viewer objects rise
  TagAxis = 5,       // list "Horizontal,Vertical"
  TagScatter = 6,    // slider, 0 to 100: randomness of paths and timing
  TagCurl = 7,       // slider, 0 to 100: curvature (page turn, strips)
  TagTwist = 8,      // slider, 0 to 360 degrees
  TagReverse = 9,    // check box: reverse the order in which objects leave
  TagBounce = 10,    // check box: objects bounce at the end of their path
};

struct MotionKindInfo {
  MotionKind kind;
  const char* name;  // as written in effect sources ("tiles")
};

inline constexpr MotionKindInfo kMotionKinds[] = {
    {MotionKind::Default, "default"}, {MotionKind::Plane, "plane"},   {MotionKind::Tiles, "tiles"},
    {MotionKind::Strips, "strips"},   {MotionKind::Doors, "doors"},   {MotionKind::Cube, "cube"},
    {MotionKind::Page, "page"},       {MotionKind::Shards, "shards"}, {MotionKind::Spiral, "spiral"},
};

struct OptionTagInfo {
  OptionTag tag;
  const char* name;  // as written in effect sources ("rows")
};

inline constexpr OptionTagInfo kOptionTags[] = {
    {TagRows, "rows"},   {TagColumns, "columns"}, {TagSpin, "spin"},   {TagLift, "lift"},
    {TagAxis, "axis"},   {TagScatter, "scatter"}, {TagCurl, "curl"},   {TagTwist, "twist"},
    {TagReverse, "reverse"}, {TagBounce, "bounce"},
};

}  // namespace lmx
