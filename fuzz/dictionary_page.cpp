// A word's lookup cut from a hostile dictionary page: the page bytes are the
// dictionary's answer, the pronunciation download fails (so nothing is
// written), and the phonetics and meanings go to the scripted windows.
#include <cstdint>
#include <cstdlib>
#include <filesystem>

#include "app/quiz_state.h"
#include "fake_platform.h"
#include "lookup/dictionary_lookup.h"
#include "runtime/files.h"

namespace {

FakePlatform& platformForFuzzing() {
    static FakePlatform* fake = [] {
        auto* created = new FakePlatform;
        // A folder of its own, should anything ever be written.
        std::string folder = std::filesystem::temp_directory_path() / "vorbelzoz-fuzz-page-XXXXXX";
        if (mkdtemp(folder.data()) == nullptr) std::abort();
        setProgramFolderForTesting(folder);
        return created;
    }();
    return *fake;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FakePlatform& fake = platformForFuzzing();
    const Bytes page(reinterpret_cast<const char*>(data), size);
    fake.httpResponder = [&page](const HttpRequest& request) {
        if (request.object.starts_with("/text2audio")) return HttpResponse();
        return HttpResponse{true, 200, page};
    };
    fake.resetWindow(WindowId::Main);
    fake.httpRequests.clear();
    prepareWord("apple");
    showMeanings(currentWord.meaningHtml);
    return 0;
}
