// Messages to the editor's stderr, each distinct text once per process: a host renders
// many frames (and makes an instance per thread and frame size) with the same fault.
#pragma once

#include <string>

namespace lumorafx {

// Writes "lumorafx: <text>" and a line feed unless the same text was written before.
void ReportOnce(const std::string& text);

}  // namespace lumorafx
