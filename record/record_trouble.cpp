// Failures of the learning record, as the learner is told about them.
#include "record/record_trouble.h"

#include <sqlite3.h>

#include <cstdio>

#include "runtime/clock.h"
#include "runtime/files.h"
#include "runtime/native_fs.h"

namespace {

constexpr int kAsideAttempts = 9;

Text timeStamp() {
    DateTime now = currentTime();
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d-%02d%02d%02d", now.year, now.month, now.day, now.hour,
                  now.minute, now.second);
    return text;
}

Text bareName(const Text& path) {
    std::size_t slash = path.rfind('\\');
    return slash == Text::npos ? path : path.substr(slash + 1);
}

// SQLite's companions of a database file.
const char* const kCompanions[] = {"-wal", "-shm"};

}  // namespace

RecordTrouble troubleOf(int sqliteCode) {
    switch (sqliteCode & 0xFF) {
        case SQLITE_OK:
            return RecordTrouble::None;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return RecordTrouble::HeldElsewhere;
        case SQLITE_READONLY:
        case SQLITE_PERM:
        case SQLITE_CANTOPEN:
        case SQLITE_AUTH:
            return RecordTrouble::CannotWrite;
        case SQLITE_FULL:
            return RecordTrouble::DiskFull;
        default:
            return RecordTrouble::Other;
    }
}

bool isRecordDamage(int sqliteCode) {
    const int primary = sqliteCode & 0xFF;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

Text recordTroubleMessage(RecordTrouble trouble, int sqliteCode) {
    Text reason;
    switch (trouble) {
        case RecordTrouble::CannotWrite:
            reason = "程序文件夹或其中的“学习记录.db”不能写入。";
            break;
        case RecordTrouble::DiskFull:
            reason = "磁盘已满。";
            break;
        case RecordTrouble::HeldElsewhere:
            reason = "另一个正在运行的本程序正在使用“学习记录.db”。";
            break;
        case RecordTrouble::TooNew:
            reason = "“学习记录.db”由更新版本的本程序建立，本版本无法使用，文件保持原样。";
            break;
        case RecordTrouble::DamagedStuck:
            reason = "“学习记录.db”已损坏，且无法改名保留，文件保持原样。";
            break;
        default:
            reason = "读写“学习记录.db”时出错（SQLite 错误 " + toText(sqliteCode) + "）。";
            break;
    }
    return "无法保存学习记录：" + reason + "\r\n练习照常进行，但本次运行的答题不会被记录。";
}

Text recordSetAsideMessage(const Text& asideName, bool restarted) {
    return "学习记录文件“学习记录.db”已损坏，无法读取。\r\n原文件已改名为“" + asideName +
           "”，原样保留在程序文件夹中" + (restarted ? "；学习记录已重新开始。" : "。");
}

Text setDamagedRecordAside(const Text& path) {
    const Text stamp = path + ".损坏-" + timeStamp();
    for (int attempt = 1; attempt <= kAsideAttempts; ++attempt) {
        const Text aside = attempt == 1 ? stamp : stamp + "-" + toText(attempt);
        if (fileExists(aside) || !native::moveNoReplace(path, aside)) continue;
        // The companions belong to the damaged file; left in place they
        // would be taken for the new record's.
        for (const char* companion : kCompanions)
            if (fileExists(path + companion)) native::moveNoReplace(path + companion, aside + companion);
        return bareName(aside);
    }
    return Text();
}
