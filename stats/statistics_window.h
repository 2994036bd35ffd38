// The statistics window: opened from the bank window, it shows the page
// computed from the learning record, saves a picture of it and exports the
// record as CSV, both into the folder 统计 of the program folder.
#pragma once

#include "runtime/bytes.h"
#include "runtime/text.h"

// The bank window's 学习统计 button.
void openStatistics();
// A button of the window (or its shortcut): kSavePicture or kExportRecord.
void onStatisticsCommand(int command);

// Writes data as folder\stem + ext, or stem-2 + ext ... when the name is
// taken, through a temporary file moved into place only once it is complete,
// so a failed write leaves no file. Returns the path, or empty on failure.
Text saveNumberedFile(const Text& folder, const Text& stem, const Text& extension, const Bytes& data);
