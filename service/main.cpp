// vorbelzoz_service: the offline dictionary and speech service that the quiz
// program uses by default. Prints one line "listening on http://127.0.0.1:N"
// once it answers requests.
#include <cstdio>
#include <fstream>
#include <string>

#include "service/dictionary.h"
#include "service/http_server.h"
#include "service/options.h"
#include "service/process.h"
#include "service/service_routes.h"
#include "service/settings_file.h"
#include "service/speech_engine.h"
#include "service/transcription.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitListen = 1;
constexpr int kExitData = 3;

bool fileExists(const std::string& path) {
    return std::ifstream(service::pathFromUtf8(path)).good();
}

// "service-data" beside the executable (an installed copy), else the data
// folder of the source tree the service was built from.
std::string defaultDataDir() {
    const std::string beside = service::executableFolder() + "/service-data";
    if (fileExists(beside + "/dictionary.tsv")) return beside;
    return VORBELZOZ_SERVICE_DATA_DIR;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string program = "vorbelzoz_service";
    service::Options options;
    std::string error;
    if (!service::startSockets(error)) {
        std::fprintf(stderr, "%s: %s\n", program.c_str(), error.c_str());
        return kExitListen;
    }
    if (!service::parseOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "%s: %s\n%s", program.c_str(), error.c_str(),
                     service::usageText(program).c_str());
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(service::usageText(program).c_str(), stdout);
        return 0;
    }

    int boundPort = 0;
    bool portInUse = false;
    // Listening comes before loading the data: a client that connects
    // meanwhile waits in the backlog instead of being refused.
    const service::Socket listener = service::openListener(options.port, boundPort, portInUse, error);
    if (listener == service::kNoSocket) {
        if (portInUse)
            std::fprintf(stderr,
                         "%s: port %d on 127.0.0.1 is already in use (is the service already running?); "
                         "choose another port with --port N\n",
                         program.c_str(), options.port);
        else
            std::fprintf(stderr, "%s: cannot listen on 127.0.0.1:%d: %s\n", program.c_str(), options.port,
                         error.c_str());
        return kExitListen;
    }

    const std::string dataDir = options.dataDir.empty() ? defaultDataDir() : options.dataDir;
    const std::string dictionaryPath = dataDir + "/dictionary.tsv";
    service::Dictionary dictionary;
    if (!service::loadDictionary(dictionaryPath, dictionary)) {
        std::fprintf(stderr, "%s: cannot read the word list %s\n", program.c_str(), dictionaryPath.c_str());
        return kExitData;
    }
    if (!service::initTranscriber(error) || !service::initSpeechEngine(error)) {
        std::fprintf(stderr, "%s: %s\n", program.c_str(), error.c_str());
        return kExitData;
    }
    // The program's settings file may name a voice; it sits beside the program.
    service::choosePreferredVoice(options.voice, options.settingsFile.empty()
                                                     ? service::executableFolder() + "/vorbelzoz.ini"
                                                     : options.settingsFile);

    std::printf("listening on http://127.0.0.1:%d\n", boundPort);
    std::fflush(stdout);
    const service::RequestHandler handler = [&dictionary](const service::RequestLine& request) {
        return service::handleRequest(dictionary, request);
    };
    service::serveForever(listener, handler, service::ServerLimits{});
}
