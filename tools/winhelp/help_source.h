// Help sources: one text file per topic (*.md in one directory), a header of
// "key: value" lines up to a line "---", then the body.
//
//   title: Preview speed          the topic's title
//   context: IDH_PREVIEW_SPEED    its context name
//   map: 7                        its map number (required for popups)
//   kind: popup                   contents, page or popup
//   help-title: ...               (contents topic only) the help file's title
//   copyright: ...                (contents topic only)
//
// The body is paragraphs separated by blank lines (lines of one paragraph are joined
// with a space), in ASCII. "**text**" is bold; "[text](CONTEXT)" jumps to the topic of
// that context name (a popup opens over the topic). Contents and page topics get their
// title as a heading.
#pragma once

#include <string>

#include "winhelp/help_model.h"

namespace winhelp {

// One topic from the text of one source file; false with "source: line N: reason".
bool ParseTopicSource(const std::string& text, const std::string& source, Topic* topic, HelpProject* project,
                      std::string* error);

// Every *.md file of dir (a UTF-8 path), in file order: the contents topic, the pages,
// then the popups.
bool LoadHelpSources(const std::string& dir, HelpProject* project, std::string* error);

// The contents file (.CNT) for the help file named hlpName: the contents topic and the
// pages, one line each, lines ending with CR LF.
std::string ContentsFile(const HelpProject& project, const std::string& hlpName);

}  // namespace winhelp
