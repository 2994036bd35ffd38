// A SQLite file layer for the tests that wraps the system's own and lets
// the disk fail on cue: the N-th write, sync or truncate fails with an I/O
// error or "disk full", or the power goes at the N-th sync, taking with it
// every write that was not yet synced. Installed as SQLite's default, so the
// program under test uses it without knowing; idle, it only counts.
#pragma once

#include <map>
#include <string>

enum class DiskFault {
    None,
    IoError,   // that one operation fails: SQLITE_IOERR_WRITE, _FSYNC or _TRUNCATE
    DiskFull,  // every write from that operation on fails with SQLITE_FULL
    PowerCut,  // at the N-th sync: what was not synced is gone, nothing more reaches the disk
};

struct DiskFaultPlan {
    DiskFault fault = DiskFault::None;
    int at = 0;  // 1-based: the operation (write, sync or truncate), or the sync for PowerCut
};

// What the layer saw since the last arm.
struct DiskActivity {
    int operations = 0;  // writes, syncs and truncates
    int syncs = 0;
    bool fired = false;
    std::string firedOperation;  // "write", "sync" or "truncate"
    std::string firedFile;       // bare file name
    long long firedOffset = 0;   // of a write; the new size of a truncate
};

// Registers the layer as SQLite's default (once; later calls do nothing).
void installFaultVfs();
// Starts counting afresh and arms the plan (DiskFault::None only counts).
void armDiskFault(const DiskFaultPlan& plan);
// Stops failing (the disk has room again); a power cut stays in force until
// restoreAfterPowerCut.
void clearDiskFault();
const DiskActivity& diskActivity();
bool powerWasCut();
// Puts every file the layer wrote back as it was at the cut (the next start
// after the power came back), and removes files made after it.
void restoreAfterPowerCut();
