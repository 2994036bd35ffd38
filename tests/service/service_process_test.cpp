// The service as the program meets it: a child process on a free port,
// spoken to with the program's raw request lines.
#include "service_process.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <mpg123.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

namespace {

const std::string kBritishMarker = "<span>\xE8\x8B\xB1 [";  // "<span>英 ["
const std::string kApple = "\xE8\x8B\xB9\xE6\x9E\x9C";      // 苹果

std::string speechTarget(const std::string& text, const std::string& speed = "2",
                         const std::string& language = "uk") {
    std::string target = "/text2audio?lan=";
    target += language;
    target += "&pid=101&ie=UTF-8&text=";
    return target + text + "&spd=" + speed;
}

bool startsLikeMp3(const std::string& body) {
    if (body.compare(0, 3, "ID3") == 0) return true;
    return body.size() >= 2 && static_cast<unsigned char>(body[0]) == 0xFF &&
           (static_cast<unsigned char>(body[1]) & 0xE0) == 0xE0;
}

struct Decoded {
    bool ok = false;
    long rate = 0;
    size_t samples = 0;
    int peak = 0;
};

// Decodes a whole MP3 in memory with libmpg123 to 16-bit samples.
Decoded decodeMp3(const std::string& mp3) {
    Decoded decoded;
    mpg123_handle* handle = mpg123_new(nullptr, nullptr);
    if (handle == nullptr) return decoded;
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    if (mpg123_open_feed(handle) == MPG123_OK) {
        std::vector<unsigned char> out(65536);
        size_t done = 0;
        int result = mpg123_decode(handle, reinterpret_cast<const unsigned char*>(mp3.data()), mp3.size(),
                                   out.data(), out.size(), &done);
        while (true) {
            if (result == MPG123_NEW_FORMAT) {
                int channels = 0, encoding = 0;
                mpg123_getformat(handle, &decoded.rate, &channels, &encoding);
                decoded.ok = encoding == MPG123_ENC_SIGNED_16 && channels == 1;
            }
            for (size_t i = 0; i + 1 < done; i += 2) {
                const int16_t sample = static_cast<int16_t>(out[i] | out[i + 1] << 8);
                decoded.peak = std::max(decoded.peak, std::abs(static_cast<int>(sample)));
            }
            decoded.samples += done / 2;
            if (result != MPG123_OK && result != MPG123_NEW_FORMAT) break;
            result = mpg123_decode(handle, nullptr, 0, out.data(), out.size(), &done);
        }
        if (result == MPG123_ERR) decoded.ok = false;
    }
    mpg123_delete(handle);
    return decoded;
}

class Service : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        mpg123_init();
        service = new ServiceProcess();
    }
    static void TearDownTestSuite() {
        delete service;
        service = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(service->started()); }

    static ParsedResponse get(const std::string& target) {
        return parseResponse(exchange(service->port(), programRequest(target)));
    }

    static ServiceProcess* service;
};

ServiceProcess* Service::service = nullptr;

}  // namespace

// The part of a page the program cuts: the transcription and the meaning list.
std::string pageCore(const std::string& body) {
    const size_t start = body.find(kBritishMarker);
    const size_t list = body.find("</ul>");
    const size_t end = list == std::string::npos ? body.find("</span>") + 7 : list + 5;
    return start == std::string::npos ? "" : body.substr(start, end - start);
}

TEST_F(Service, AnswersCommonWordsAsALearnersDictionaryDoes) {
    const ParsedResponse page = get("/apple");
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.headers.find("Content-Type: text/html; charset=utf-8"), std::string::npos);
    const struct {
        const char* target;
        const char* core;
    } pinned[] = {
        {"/apple",
         "<span>英 [ˈæpl]</span></p>\n<ul class=\"\">\n<li><b>n.</b> 苹果；家伙</li>\n<li><b>[医]</b> "
         "苹果</li>\n</ul>"},
        {"/this",
         "<span>英 [ðɪs]</span></p>\n<ul class=\"\">\n<li><b>pron.</b> 这；本</li>\n<li><b>adj.</b> "
         "这；本</li>\n"
         "<li><b>adv.</b> 这么</li>\n</ul>"},
        {"/run",
         "<span>英 [rʌn]</span></p>\n<ul class=\"\">\n"
         "<li><b>n.</b> 跑；赛跑；奔跑；奔跑的路程；趋向；流出；运转时间；连续</li>\n"
         "<li><b>vi.</b> 跑；奔跑；跑步；赛跑；竞赛；行驶；运转；进行；蔓延</li>\n"
         "<li><b>vt.</b> 使跑；参赛；追究；驾驶；开动；管理；经营；使流出；运行</li>\n"
         "<li><b>adj.</b> 熔化的；融化的；浇铸的</li>\n<li>run的过去式和过去分词</li>\n<li><b>[计]</b> "
         "运行</li>\n</ul>"},
        // An inflected form: its own transcription, then its headword's meanings.
        {"/ran",
         "<span>英 [ræn]</span></p>\n<ul class=\"\">\n<li>run的过去式</li>\n"
         "<li><b>n.</b> 跑；赛跑；奔跑；奔跑的路程；趋向；流出；运转时间；连续</li>\n"
         "<li><b>vi.</b> 跑；奔跑；跑步；赛跑；竞赛；行驶；运转；进行；蔓延</li>\n"
         "<li><b>vt.</b> 使跑；参赛；追究；驾驶；开动；管理；经营；使流出；运行</li>\n"
         "<li><b>adj.</b> 熔化的；融化的；浇铸的</li>\n<li><b>[计]</b> 运行</li>\n</ul>"},
        // A phrase without a transcription of its own: its words' joined.
        {"/ice cream",
         "<span>英 [aɪs kriːm]</span></p>\n<ul class=\"\">\n<li>冰淇淋</li>\n<li><b>[化]</b> "
         "冰淇淋</li>\n</ul>"},
        // A word ECDICT lacks: espeak-ng's transcription in the same notation, no list.
        {"/zorblimpic", "<span>英 [zɔːˈblɪmpɪk]</span>"},
    };
    for (const auto& word : pinned) {
        SCOPED_TRACE(word.target);
        EXPECT_EQ(pageCore(get(word.target).body), word.core);
    }
}

TEST_F(Service, APhraseWithARawBlankIsOneWord) {
    const ParsedResponse page = get("/ice cream");
    EXPECT_EQ(page.status, 200);
    EXPECT_NE(page.body.find("<title>ice cream</title>"), std::string::npos);
    EXPECT_NE(page.body.find("<ul class=\"\">"), std::string::npos);
    // Two words, two transcriptions separated by a blank.
    const size_t start = page.body.find(kBritishMarker) + kBritishMarker.size();
    const std::string ipa = page.body.substr(start, page.body.find(']', start) - start);
    EXPECT_NE(ipa.find(' '), std::string::npos);
}

TEST_F(Service, AnUnknownWordGetsATranscriptionAndNoList) {
    const ParsedResponse page = get("/qwxzvk");
    EXPECT_EQ(page.status, 200);
    const size_t start = page.body.find(kBritishMarker);
    ASSERT_NE(start, std::string::npos);
    EXPECT_NE(page.body.find("]</span>", start + kBritishMarker.size() + 1), std::string::npos);
    EXPECT_EQ(page.body.find("<ul"), std::string::npos);
}

TEST_F(Service, SpeaksAWordAsAnMp3ThatDecodes) {
    const ParsedResponse speech = get(speechTarget("ice cream"));
    EXPECT_EQ(speech.status, 200);
    EXPECT_NE(speech.headers.find("Content-Type: audio/mpeg"), std::string::npos);
    ASSERT_TRUE(startsLikeMp3(speech.body));
    const Decoded decoded = decodeMp3(speech.body);
    EXPECT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.rate, 16000);          // the voices' own rate
    EXPECT_GT(decoded.samples, 16000u / 4);  // a quarter of a second at least
    EXPECT_GT(decoded.peak, 3000);           // and not silence
}

TEST_F(Service, TheSpeedFieldChangesTheSpeakingRate) {
    const Decoded slow = decodeMp3(get(speechTarget("international", "0")).body);
    const Decoded fast = decodeMp3(get(speechTarget("international", "9")).body);
    ASSERT_TRUE(slow.ok && fast.ok);
    EXPECT_GT(slow.samples, fast.samples * 5 / 4);
}

TEST_F(Service, LanUkSpeaksWithTheBritishVoiceUnlessTheSettingsNameAnother) {
    const std::string british = get(speechTarget("water")).body;
    const std::string clearest = get(speechTarget("water", "2", "en")).body;
    const Decoded decoded = decodeMp3(british);
    EXPECT_TRUE(decoded.ok);
    EXPECT_GT(decoded.samples, static_cast<size_t>(decoded.rate / 4));
    EXPECT_GT(decoded.peak, 3000);
    EXPECT_TRUE(british != clearest);

    // Any language gets the voice named on the command line or in the
    // settings file; the British voice is awb.
    const auto speak = [](ServiceProcess& service, const std::string& language) {
        return parseResponse(exchange(service.port(), programRequest(speechTarget("water", "2", language))))
            .body;
    };
    ServiceProcess awb({"--voice", "awb"});
    ASSERT_TRUE(awb.started());
    EXPECT_TRUE(speak(awb, "en") == british);
    const std::filesystem::path settings =
        std::filesystem::temp_directory_path() / ("vz-voice-" + std::to_string(getpid()) + ".ini");
    std::ofstream(settings) << "speech = 127.0.0.1:47800\nvoice = rms\n";
    ServiceProcess rms({"--settings", settings.string()});
    std::filesystem::remove(settings);
    ASSERT_TRUE(rms.started());
    EXPECT_TRUE(speak(rms, "uk") == clearest);
}

TEST_F(Service, AnEmptyTextStillGivesAPlayableMp3) {
    const ParsedResponse speech = get(speechTarget(""));
    EXPECT_EQ(speech.status, 200);
    EXPECT_TRUE(startsLikeMp3(speech.body));
    EXPECT_TRUE(decodeMp3(speech.body).ok);
}

TEST_F(Service, GbkUtf8AndEscapedWordsAreTheSameWord) {
    const std::string gbk = get("/\xC6\xBB\xB9\xFB").body;
    EXPECT_NE(gbk.find("<title>" + kApple + "</title>"), std::string::npos);
    EXPECT_EQ(get("/" + kApple).body, gbk);
    EXPECT_EQ(get("/%C6%BB%B9%FB").body, gbk);
    EXPECT_EQ(get("/apple%20pie").body, get("/apple pie").body);
}

TEST_F(Service, OddTargetsGetAnAnswerAndNeverStopTheService) {
    const struct {
        std::string request;
        int status;
    } cases[] = {
        {programRequest(std::string("/a\0b", 4)), 200},
        {programRequest("/../../etc/passwd"), 200},
        {programRequest("/"), 404},
        {programRequest("/%"), 200},
        {programRequest("/%00%ff%fe"), 200},
        {programRequest("/\xFF\xFE\x80"), 200},
        {programRequest("/<script>alert(1)</script>"), 200},
        {programRequest("/" + std::string(6000, 'a')), 200},
        {programRequest(speechTarget(std::string(3000, 'b') + " " + std::string(3000, 'c'))), 200},
        {programRequest(speechTarget(std::string("\0\xC6", 2))), 200},
        {"GET /apple\r\n\r\n", 200},
        {"GET /apple HTTP/1.0\n\n", 200},
        {"HEAD /apple HTTP/1.0\r\n\r\n", 200},
        {"POST /apple HTTP/1.0\r\nContent-Length: 0\r\n\r\n", 405},
        {"GET apple HTTP/1.0\r\n\r\n", 400},
        {"\r\n\r\n", 400},
        {"garbage\r\n\r\n", 400},
        {programRequest("/" + std::string(9000, 'x')), 431},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.request.substr(0, 60));
        const ParsedResponse response = parseResponse(exchange(service->port(), c.request));
        EXPECT_EQ(response.status, c.status);
    }
    // A connection that sends nothing, and one that hangs up at once.
    EXPECT_EQ(exchange(service->port(), "", 200), "");
    EXPECT_TRUE(service->running());
    EXPECT_EQ(get("/apple").status, 200);
}

TEST_F(Service, AHeadThatNeverEndsIsAnsweredWithinTheTimeLimit) {
    const auto start = std::chrono::steady_clock::now();
    const ParsedResponse response =
        parseResponse(exchange(service->port(), "GET /apple HTTP/1.0\r\nHost: x", 15000));
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(response.status, 408);
    EXPECT_LT(seconds, 8.0);
}

TEST_F(Service, ServesManyRequestsAtOnce) {
    constexpr int kClients = 12;
    std::vector<int> failures(kClients, 0);
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([c, &failures] {
            for (int i = 0; i < 4; ++i) {
                const bool speech = (c + i) % 3 == 0;
                const ParsedResponse r = get(speech ? speechTarget("water") : "/water");
                if (r.status != 200 ||
                    (speech ? !startsLikeMp3(r.body) : r.body.find(kBritishMarker) == std::string::npos))
                    ++failures[c];
            }
        });
    }
    for (std::thread& t : clients) t.join();
    for (int c = 0; c < kClients; ++c) EXPECT_EQ(failures[c], 0) << "client " << c;
}

// Clients that connect and send nothing (a stalled browser, a port scanner)
// must not keep the workers from a real request, each for the whole head
// time-out; and once they give up, the service still serves.
TEST_F(Service, IdleConnectionsDoNotHoldUpARealRequest) {
    std::vector<int> idle;
    for (int i = 0; i < 8; ++i) {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(service->port()));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        idle.push_back(fd);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const auto start = std::chrono::steady_clock::now();
    const ParsedResponse page = get("/apple");
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(page.status, 200);
    EXPECT_LT(seconds, 1.0);
    for (int fd : idle) close(fd);
    EXPECT_TRUE(service->running());
    EXPECT_EQ(get("/water").status, 200);
}

TEST(ServiceStart, ATakenPortIsReportedClearlyWithExitCode1) {
    PortBlocker blocker;
    ASSERT_GT(blocker.port(), 0);
    const ServiceRun run = runServiceToEnd({"--port", std::to_string(blocker.port())});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.output.find("port " + std::to_string(blocker.port())), std::string::npos) << run.output;
    EXPECT_NE(run.output.find("already in use"), std::string::npos) << run.output;
}

TEST(ServiceStart, BadOptionsAndAMissingWordListStopWithAMessage) {
    ServiceRun run = runServiceToEnd({"--port", "70000"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.output.find("usage:"), std::string::npos);

    run = runServiceToEnd({"--port", "0", "--data", "/nonexistent"});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.output.find("/nonexistent/dictionary.tsv"), std::string::npos) << run.output;

    run = runServiceToEnd({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.output.find("--port"), std::string::npos);
}
