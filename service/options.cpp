#include "service/options.h"

namespace service {

namespace {

bool parsePort(const std::string& text, int& port) {
    if (text.empty() || text.size() > 5) return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (value > 65535) return false;
    port = value;
    return true;
}

}  // namespace

bool parseOptions(int argc, const char* const* argv, Options& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--port" || arg == "--data" || arg == "--settings" || arg == "--voice") {
            if (i + 1 >= argc) {
                error = arg + " needs a value";
                return false;
            }
            const std::string value = argv[++i];
            if (arg == "--data") {
                options.dataDir = value;
            } else if (arg == "--settings") {
                options.settingsFile = value;
            } else if (arg == "--voice") {
                options.voice = value;
            } else if (!parsePort(value, options.port)) {
                error = "bad port \"" + value + "\" (0..65535, 0 picks a free port)";
                return false;
            }
        } else {
            error = "unknown option \"" + arg + "\"";
            return false;
        }
    }
    return true;
}

std::string usageText(const std::string& program) {
    return "usage: " + program +
           " [--port N] [--data DIR] [--settings FILE] [--voice NAME]\n"
           "Offline dictionary and speech service for Vorbelzoz on 127.0.0.1.\n"
           "  --port N         port to listen on (default 47800; 0 picks a free port)\n"
           "  --data DIR       folder holding dictionary.tsv\n"
           "  --settings FILE  settings file whose \"voice=NAME\" line names the voice\n"
           "                   (default: vorbelzoz.ini beside the service)\n"
           "  --voice NAME     voice for every request, ahead of the settings file: awb\n"
           "                   or rms (default: awb for lan=uk, rms for other languages)\n"
           "GET /<word> answers a dictionary page with the British transcription and\n"
           "Chinese meanings; GET /text2audio?lan=uk&pid=101&ie=UTF-8&text=<word>&spd=2\n"
           "answers the spoken word as MP3.\n";
}

}  // namespace service
