// When the learning record cannot be kept: why, in the learner's words, and
// a damaged record file moved aside so that it is kept as it was.
#pragma once

#include "runtime/text.h"

enum class RecordTrouble {
    None,
    CannotWrite,  // read-only folder or file, no right to create it
    DiskFull,
    HeldElsewhere,  // another running copy of the program has it open
    TooNew,         // written by a newer version of the program
    DamagedStuck,   // damaged, and it could not be moved aside
    Other,
};

RecordTrouble troubleOf(int sqliteCode);
// The file is not a database, or is damaged inside: to be set aside.
bool isRecordDamage(int sqliteCode);
// The message that tells the learner the record is not being kept.
Text recordTroubleMessage(RecordTrouble trouble, int sqliteCode);
// The message after a damaged record was moved aside, saying whether a new
// record was begun.
Text recordSetAsideMessage(const Text& asideName, bool restarted);

// Moves the file at path (and its -wal and -shm files, when there) to
// path + ".损坏-<date>-<time>", never replacing anything. Returns the new
// bare file name, or the empty text when it could not be moved.
Text setDamagedRecordAside(const Text& path);
