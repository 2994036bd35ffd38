// A temporary program folder with the program's data folders, the sound
// effects and any banks a test writes; the program is pointed at it while
// it lives and the folder is removed afterwards.
#pragma once

#include <string>

#include "runtime/bytes.h"
#include "runtime/text.h"

class TestProgramFolder {
public:
    // Creates 单词表, 音效 (with the seven sound effects), mp3 and 日志.
    TestProgramFolder();
    ~TestProgramFolder();
    TestProgramFolder(const TestProgramFolder&) = delete;
    TestProgramFolder& operator=(const TestProgramFolder&) = delete;

    Text folder() const { return folder_; }  // as the program sees it
    // Relative paths are program texts beginning with a backslash, such as
    // "\\日志\\报告CET4.txt".
    std::string nativePath(const Text& relative) const;
    void write(const Text& relative, const Bytes& data) const;
    Bytes read(const Text& relative) const;  // empty when missing
    bool exists(const Text& relative) const;
    void remove(const Text& relative) const;  // a file or a whole folder
    void makeFolder(const Text& relative) const;
    // A bank file "\单词表\<name>" holding the entries joined by CR LF.
    void writeBank(const Text& name, const TextArray& entries) const;

private:
    std::string native_;
    Text folder_;
};

// The sound-effect files of the program folder; each holds its own file name
// as its sample data, so the fake platform's sound log names it.
extern const char* const kSoundEffectNames[7];
