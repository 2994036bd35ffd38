// Benchmarks of the text and file work that grows with the data: splitting
// and reading a large bank, searching and cutting a large dictionary page
// (an honest one and a hostile one), listing a large word-bank folder.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/quiz_state.h"
#include "lookup/byte_search.h"
#include "lookup/dictionary_lookup.h"
#include "lookup/extract.h"
#include "null_platform.h"
#include "runtime/codepage.h"
#include "runtime/files.h"
#include "wordbank/bank_files.h"

namespace {

constexpr std::size_t kBankBytes = 10 * 1024 * 1024;
constexpr std::size_t kPageBytes = 1024 * 1024;

// A bank of English entries with the occasional Chinese note, CR LF lines.
Text makeBank() {
    Text bank;
    bank.reserve(kBankBytes + 64);
    for (int i = 0; bank.size() < kBankBytes; ++i) {
        bank += "word" + std::to_string(i);
        if (i % 7 == 0) bank += " 单词";
        bank += "\r\n";
    }
    return bank;
}

// A dictionary-like page whose meaning list comes at the very end.
Bytes makePage() {
    Bytes page = "<html><body>";
    while (page.size() < kPageBytes)
        page += "<div class=\"row\"><span>filler text</span><a href=\"/x\">link</a></div>\n";
    page += "<ul class=\"\"><li>n. meaning</li></ul></body></html>";
    return page;
}

// A temporary program folder, removed at the end.
struct TempProgramFolder {
    std::string native;
    TempProgramFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "vorbelzoz-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        native = pattern;
        std::filesystem::create_directories(bankFolderNative());
        setProgramFolderForTesting(utf8ToGbkText(native));
    }
    ~TempProgramFolder() {
        setProgramFolderForTesting(Text());
        std::error_code ignored;
        std::filesystem::remove_all(native, ignored);
    }
    std::string bankFolderNative() const { return native + "/" + gbkToUtf8("单词表"); }
    void write(const std::string& nativePath, const Bytes& data) const {
        std::ofstream out(nativePath, std::ios::binary);
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
    }
};

void BM_SplitEntries10MB(benchmark::State& state) {
    const Text bank = makeBank();
    for (auto _ : state) benchmark::DoNotOptimize(splitEntries(bank));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(bank.size()));
}
BENCHMARK(BM_SplitEntries10MB)->Unit(benchmark::kMillisecond);

void BM_ReadBank10MB(benchmark::State& state) {
    TempProgramFolder folder;
    const Text bank = makeBank();
    folder.write(folder.bankFolderNative() + "/big.txt", bank);
    for (auto _ : state) {
        Text text = readBank("big.txt");
        if (text.size() != bank.size()) state.SkipWithError("short read");
        benchmark::DoNotOptimize(text);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(bank.size()));
}
BENCHMARK(BM_ReadBank10MB)->Unit(benchmark::kMillisecond);

void BM_FindBytes1MB(benchmark::State& state) {
    const Bytes page = makePage();
    for (auto _ : state) benchmark::DoNotOptimize(findBytes(page, "<ul class=\"\">", 1));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(page.size()));
}
BENCHMARK(BM_FindBytes1MB)->Unit(benchmark::kMicrosecond);

void BM_ExtractBetween1MB(benchmark::State& state) {
    const Bytes page = makePage();
    for (auto _ : state) {
        Text meanings = extractBetween(page, "class=..>", "</ul>");
        if (meanings != "<li>n. meaning</li>") state.SkipWithError("wrong extraction");
        benchmark::DoNotOptimize(meanings);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(page.size()));
}
BENCHMARK(BM_ExtractBetween1MB)->Unit(benchmark::kMillisecond);

// A server's page as large as a page may be, made to keep a regular
// expression busy: the meaning list opens at every few bytes and never
// closes.
constexpr std::size_t kHostilePageBytes = 8 * 1024 * 1024;

struct PageServer : NullPlatform {
    Bytes page;
    HttpResponse httpGet(const HttpRequest& request) override {
        HttpResponse response;
        if (request.object.rfind("/text2audio", 0) == 0) return response;
        response.completed = true;
        response.status = 200;
        response.body = page;
        return response;
    }
};

void BM_PrepareWordHostilePage8MB(benchmark::State& state) {
    PageServer server;
    TempProgramFolder folder;
    const Bytes unit = "class=ab></u";
    server.page.reserve(kHostilePageBytes + unit.size());
    while (server.page.size() < kHostilePageBytes) server.page += unit;
    for (auto _ : state) {
        prepareWord("apple");
        if (!currentWord.meaningHtml.empty()) state.SkipWithError("meanings from an unclosed list");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(server.page.size()));
}
BENCHMARK(BM_PrepareWordHostilePage8MB)->Unit(benchmark::kMillisecond);

void BM_ListBanks10000Files(benchmark::State& state) {
    NullPlatform platform;
    TempProgramFolder folder;
    for (int f = 0; f < 100; ++f) {
        std::string sub = folder.bankFolderNative() + "/folder" + std::to_string(f);
        std::filesystem::create_directories(sub);
        for (int i = 0; i < 100; ++i) folder.write(sub + "/bank" + std::to_string(i) + ".txt", "word\r\n");
    }
    for (auto _ : state) {
        int rows = 0;
        listBanks(bankFolder(), [&rows](const Text&, const Text&) { ++rows; });
        if (rows != 10000) state.SkipWithError("wrong row count");
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 10000);
}
BENCHMARK(BM_ListBanks10000Files)->Unit(benchmark::kMillisecond);

}  // namespace
