#pragma once
// Some things live only in the memory of the process that made them: under Wine a menu
// or icon handle of another process reads as invalid. The driver then asks from inside:
// it loads the small probe library movarin_menu_probe.dll into the program and runs one
// of the probe's exports on a thread there, on a block copied into the program's memory
// before the call and back out after it.
#include <windows.h>

#include <cstddef>

namespace movarin::e2e {

// Runs export(block) in the process that owns `window`; the block is read back into
// `block`. False when the probe could not be loaded or called, or the export did not
// return 1. The driver and the program must have the same pointer width.
bool CallProbe(HWND window, const char* export_name, void* block, std::size_t size);

}  // namespace movarin::e2e
