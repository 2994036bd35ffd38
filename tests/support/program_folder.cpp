#include "program_folder.h"

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "fake_platform.h"
#include "runtime/codepage.h"
#include "runtime/files.h"

const char* const kSoundEffectNames[7] = {"开始.wav",     "结束.wav", "答对.wav", "答错.wav",
                                          "等待开始.wav", "选词.wav", "提示.wav"};

TestProgramFolder::TestProgramFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vorbelzoz-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary folder");
    native_ = pattern;
    folder_ = utf8ToGbkText(native_);
    makeFolder("\\单词表");
    makeFolder("\\音效");
    makeFolder("\\mp3");
    makeFolder("\\日志");
    for (const char* name : kSoundEffectNames) write(Text("\\音效\\") + name, makeWav(name));
    setProgramFolderForTesting(folder_);
}

TestProgramFolder::~TestProgramFolder() {
    setProgramFolderForTesting(Text());
    std::error_code ignored;
    std::filesystem::remove_all(native_, ignored);
}

std::string TestProgramFolder::nativePath(const Text& relative) const {
    std::string path = gbkToUtf8(relative);
    for (char& c : path)
        if (c == '\\') c = '/';
    return native_ + path;
}

void TestProgramFolder::write(const Text& relative, const Bytes& data) const {
    std::ofstream out(nativePath(relative), std::ios::binary | std::ios::trunc);
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    if (!out) throw std::runtime_error("cannot write " + nativePath(relative));
}

Bytes TestProgramFolder::read(const Text& relative) const {
    std::ifstream in(nativePath(relative), std::ios::binary);
    if (!in) return Bytes();
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool TestProgramFolder::exists(const Text& relative) const {
    return std::filesystem::exists(nativePath(relative));
}

void TestProgramFolder::remove(const Text& relative) const {
    std::error_code ignored;
    std::filesystem::remove_all(nativePath(relative), ignored);
}

void TestProgramFolder::makeFolder(const Text& relative) const {
    std::filesystem::create_directories(nativePath(relative));
}

void TestProgramFolder::writeBank(const Text& name, const TextArray& entries) const {
    Bytes data;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0) data += "\r\n";
        data += entries[i];
    }
    write("\\单词表\\" + name, data);
}
