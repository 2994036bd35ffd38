// vorbelzoz_service: the offline dictionary and speech service that the quiz
// program uses by default. Prints one line "listening on http://127.0.0.1:N"
// once it answers requests.
#include <signal.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#include "service/dictionary.h"
#include "service/http_server.h"
#include "service/options.h"
#include "service/service_routes.h"
#include "service/settings_file.h"
#include "service/speech_engine.h"
#include "service/transcription.h"

namespace {

constexpr int kExitUsage = 2;
constexpr int kExitListen = 1;
constexpr int kExitData = 3;

std::string executableFolder() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return ".";
    const std::string full(path, static_cast<size_t>(n));
    return full.substr(0, full.rfind('/'));
}

bool fileExists(const std::string& path) {
    return access(path.c_str(), R_OK) == 0;
}

// "service-data" beside the executable (an installed copy), else the data
// folder of the source tree the service was built from.
std::string defaultDataDir() {
    const std::string beside = executableFolder() + "/service-data";
    if (fileExists(beside + "/dictionary.tsv")) return beside;
    return VORBELZOZ_SERVICE_DATA_DIR;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string program = "vorbelzoz_service";
    // A client that hangs up early must not end the service.
    signal(SIGPIPE, SIG_IGN);
    service::Options options;
    std::string error;
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
    const int listener = service::openListener(options.port, boundPort, portInUse, error);
    if (listener < 0) {
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
                                                     ? executableFolder() + "/vorbelzoz.ini"
                                                     : options.settingsFile);

    std::printf("listening on http://127.0.0.1:%d\n", boundPort);
    std::fflush(stdout);
    const service::RequestHandler handler = [&dictionary](const service::RequestLine& request) {
        return service::handleRequest(dictionary, request);
    };
    service::serveForever(listener, handler, service::ServerLimits{});
}
