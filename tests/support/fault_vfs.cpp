#include "fault_vfs.h"

#include <sqlite3.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>

namespace {

sqlite3_vfs* realVfs = nullptr;
sqlite3_vfs faultVfs;
sqlite3_io_methods faultMethods;

struct FaultFile {
    sqlite3_file base;
    sqlite3_file* real;  // lives right behind this struct
    const char* path;    // SQLite keeps the name alive while the file is open; null for temporary files
};

DiskFaultPlan plan;
DiskActivity activity;
bool diskFull = false;  // a DiskFull fault has fired and not been cleared
bool dead = false;      // the power is off

// Power cuts: every file written since its last sync, with what it held then
// (absent: it did not exist).
std::map<std::string, std::optional<std::string>> unsynced;
// Every file the layer wrote to or made, as it stands at the cut.
std::map<std::string, std::optional<std::string>> atCut;
std::set<std::string> touched;
std::set<std::string> madeAfterCut;

std::optional<std::string> contentOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return std::nullopt;
    std::string content(static_cast<std::size_t>(in.tellg()), '\0');
    in.seekg(0);
    in.read(content.data(), static_cast<std::streamsize>(content.size()));
    return content;
}

FaultFile* faultFile(sqlite3_file* file) {
    return reinterpret_cast<FaultFile*>(file);
}

std::string bareName(const char* path) {
    return path ? std::filesystem::path(path).filename().string() : "(temporary)";
}

void cutThePower() {
    dead = true;
    atCut.clear();
    for (const std::string& path : touched) atCut[path] = contentOf(path);
    for (const auto& [path, before] : unsynced) atCut[path] = before;
}

// Counts one operation; true when it is to fail.
bool fails(FaultFile* file, const char* operation, long long offset) {
    const bool isSync = std::strcmp(operation, "sync") == 0;
    ++activity.operations;
    if (isSync) ++activity.syncs;
    bool fire = false;
    if (plan.fault == DiskFault::PowerCut)
        fire = isSync && activity.syncs == plan.at;
    else if (plan.fault != DiskFault::None)
        fire = activity.operations == plan.at;
    if (fire && !activity.fired) {
        activity.fired = true;
        activity.firedOperation = operation;
        activity.firedFile = bareName(file->path);
        activity.firedOffset = offset;
        if (plan.fault == DiskFault::PowerCut) cutThePower();
        if (plan.fault == DiskFault::DiskFull) diskFull = true;
        return true;
    }
    return false;
}

// Before a change to a file: what it held at its last sync, once.
void noteChange(FaultFile* file) {
    if (!file->path || dead) return;
    touched.insert(file->path);
    if (!unsynced.count(file->path)) unsynced[file->path] = contentOf(file->path);
}

int faultClose(sqlite3_file* file) {
    FaultFile* f = faultFile(file);
    int code = f->real->pMethods ? f->real->pMethods->xClose(f->real) : SQLITE_OK;
    f->base.pMethods = nullptr;
    return code;
}

int faultRead(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    sqlite3_file* real = faultFile(file)->real;
    return real->pMethods->xRead(real, buffer, amount, offset);
}

int faultWrite(sqlite3_file* file, const void* data, int amount, sqlite3_int64 offset) {
    FaultFile* f = faultFile(file);
    if (dead) return SQLITE_IOERR_WRITE;
    if (fails(f, "write", offset))
        return plan.fault == DiskFault::DiskFull ? SQLITE_FULL : SQLITE_IOERR_WRITE;
    if (diskFull) return SQLITE_FULL;
    noteChange(f);
    return f->real->pMethods->xWrite(f->real, data, amount, offset);
}

int faultTruncate(sqlite3_file* file, sqlite3_int64 size) {
    FaultFile* f = faultFile(file);
    if (dead) return SQLITE_IOERR_TRUNCATE;
    if (fails(f, "truncate", size))
        return plan.fault == DiskFault::DiskFull ? SQLITE_FULL : SQLITE_IOERR_TRUNCATE;
    noteChange(f);
    return f->real->pMethods->xTruncate(f->real, size);
}

int faultSync(sqlite3_file* file, int flags) {
    FaultFile* f = faultFile(file);
    if (dead) return SQLITE_IOERR_FSYNC;
    if (fails(f, "sync", 0)) return plan.fault == DiskFault::DiskFull ? SQLITE_FULL : SQLITE_IOERR_FSYNC;
    int code = f->real->pMethods->xSync(f->real, flags);
    if (code == SQLITE_OK && f->path) unsynced.erase(f->path);
    return code;
}

int faultFileSize(sqlite3_file* file, sqlite3_int64* size) {
    sqlite3_file* real = faultFile(file)->real;
    return real->pMethods->xFileSize(real, size);
}

int faultLock(sqlite3_file* file, int level) {
    sqlite3_file* real = faultFile(file)->real;
    return real->pMethods->xLock(real, level);
}

int faultUnlock(sqlite3_file* file, int level) {
    sqlite3_file* real = faultFile(file)->real;
    return real->pMethods->xUnlock(real, level);
}

int faultCheckReservedLock(sqlite3_file* file, int* result) {
    sqlite3_file* real = faultFile(file)->real;
    return real->pMethods->xCheckReservedLock(real, result);
}

int faultFileControl(sqlite3_file* file, int op, void* arg) {
    sqlite3_file* real = faultFile(file)->real;
    return real->pMethods->xFileControl(real, op, arg);
}

int faultSectorSize(sqlite3_file* file) {
    sqlite3_file* real = faultFile(file)->real;
    return real->pMethods->xSectorSize(real);
}

int faultDeviceCharacteristics(sqlite3_file* file) {
    sqlite3_file* real = faultFile(file)->real;
    return real->pMethods->xDeviceCharacteristics(real);
}

int faultShmMap(sqlite3_file* file, int region, int size, int extend, void volatile** memory) {
    sqlite3_file* real = faultFile(file)->real;
    return real->pMethods->xShmMap(real, region, size, extend, memory);
}

int faultShmLock(sqlite3_file* file, int offset, int n, int flags) {
    sqlite3_file* real = faultFile(file)->real;
    return real->pMethods->xShmLock(real, offset, n, flags);
}

void faultShmBarrier(sqlite3_file* file) {
    sqlite3_file* real = faultFile(file)->real;
    real->pMethods->xShmBarrier(real);
}

int faultShmUnmap(sqlite3_file* file, int deleteFlag) {
    sqlite3_file* real = faultFile(file)->real;
    return real->pMethods->xShmUnmap(real, deleteFlag);
}

int faultOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    FaultFile* f = faultFile(file);
    f->real = reinterpret_cast<sqlite3_file*>(f + 1);
    f->path = name;
    f->base.pMethods = nullptr;
    const bool existed = name && std::filesystem::exists(name);
    int code = realVfs->xOpen(realVfs, name, f->real, flags, outFlags);
    if (f->real->pMethods) f->base.pMethods = &faultMethods;
    if (code == SQLITE_OK && name && !existed) {
        // A file made after the cut is not there when the power comes back.
        if (dead)
            madeAfterCut.insert(name);
        else
            touched.insert(name);
    }
    return code;
}

int faultDelete(sqlite3_vfs*, const char* name, int syncDirectory) {
    if (dead) return SQLITE_IOERR_DELETE;
    int code = realVfs->xDelete(realVfs, name, syncDirectory);
    if (code == SQLITE_OK) unsynced.erase(name);
    return code;
}

int faultAccess(sqlite3_vfs*, const char* name, int flags, int* result) {
    return realVfs->xAccess(realVfs, name, flags, result);
}

int faultFullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
    return realVfs->xFullPathname(realVfs, name, size, out);
}

void* faultDlOpen(sqlite3_vfs*, const char* name) {
    return realVfs->xDlOpen(realVfs, name);
}
void faultDlError(sqlite3_vfs*, int size, char* out) {
    realVfs->xDlError(realVfs, size, out);
}
void (*faultDlSym(sqlite3_vfs*, void* handle, const char* symbol))(void) {
    return realVfs->xDlSym(realVfs, handle, symbol);
}
void faultDlClose(sqlite3_vfs*, void* handle) {
    realVfs->xDlClose(realVfs, handle);
}
int faultRandomness(sqlite3_vfs*, int size, char* out) {
    return realVfs->xRandomness(realVfs, size, out);
}
int faultSleep(sqlite3_vfs*, int microseconds) {
    return realVfs->xSleep(realVfs, microseconds);
}
int faultCurrentTime(sqlite3_vfs*, double* now) {
    return realVfs->xCurrentTime(realVfs, now);
}
int faultGetLastError(sqlite3_vfs*, int size, char* out) {
    return realVfs->xGetLastError(realVfs, size, out);
}
int faultCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* now) {
    return realVfs->xCurrentTimeInt64(realVfs, now);
}

}  // namespace

void installFaultVfs() {
    if (realVfs) return;
    realVfs = sqlite3_vfs_find(nullptr);

    faultMethods = sqlite3_io_methods{};
    // Version 2: no memory-mapped reads, so every read comes through here.
    faultMethods.iVersion = 2;
    faultMethods.xClose = faultClose;
    faultMethods.xRead = faultRead;
    faultMethods.xWrite = faultWrite;
    faultMethods.xTruncate = faultTruncate;
    faultMethods.xSync = faultSync;
    faultMethods.xFileSize = faultFileSize;
    faultMethods.xLock = faultLock;
    faultMethods.xUnlock = faultUnlock;
    faultMethods.xCheckReservedLock = faultCheckReservedLock;
    faultMethods.xFileControl = faultFileControl;
    faultMethods.xSectorSize = faultSectorSize;
    faultMethods.xDeviceCharacteristics = faultDeviceCharacteristics;
    faultMethods.xShmMap = faultShmMap;
    faultMethods.xShmLock = faultShmLock;
    faultMethods.xShmBarrier = faultShmBarrier;
    faultMethods.xShmUnmap = faultShmUnmap;

    faultVfs = sqlite3_vfs{};
    faultVfs.iVersion = 2;
    faultVfs.szOsFile = static_cast<int>(sizeof(FaultFile)) + realVfs->szOsFile;
    faultVfs.mxPathname = realVfs->mxPathname;
    faultVfs.zName = "fault";
    faultVfs.xOpen = faultOpen;
    faultVfs.xDelete = faultDelete;
    faultVfs.xAccess = faultAccess;
    faultVfs.xFullPathname = faultFullPathname;
    faultVfs.xDlOpen = faultDlOpen;
    faultVfs.xDlError = faultDlError;
    faultVfs.xDlSym = faultDlSym;
    faultVfs.xDlClose = faultDlClose;
    faultVfs.xRandomness = faultRandomness;
    faultVfs.xSleep = faultSleep;
    faultVfs.xCurrentTime = faultCurrentTime;
    faultVfs.xGetLastError = faultGetLastError;
    faultVfs.xCurrentTimeInt64 = faultCurrentTimeInt64;
    sqlite3_vfs_register(&faultVfs, 1);
}

void armDiskFault(const DiskFaultPlan& newPlan) {
    plan = newPlan;
    activity = DiskActivity{};
    diskFull = false;
    dead = false;
    unsynced.clear();
    atCut.clear();
    touched.clear();
    madeAfterCut.clear();
}

void clearDiskFault() {
    diskFull = false;
    if (activity.fired && plan.fault != DiskFault::PowerCut) plan = DiskFaultPlan{};
}

const DiskActivity& diskActivity() {
    return activity;
}

bool powerWasCut() {
    return dead;
}

void restoreAfterPowerCut() {
    if (!dead) return;
    for (const std::string& path : madeAfterCut) std::filesystem::remove(path);
    for (const auto& [path, content] : atCut) {
        if (!content) {
            std::filesystem::remove(path);
            continue;
        }
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(content->data(), static_cast<std::streamsize>(content->size()));
    }
    dead = false;
    plan = DiskFaultPlan{};
    unsynced.clear();
    atCut.clear();
    touched.clear();
    madeAfterCut.clear();
}
