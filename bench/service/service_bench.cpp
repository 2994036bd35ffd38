// Speed of the offline service as the quiz program meets it: for the first
// 200 words of the common-words bank, dictionary pages per second and the
// median time to synthesise and encode a word's MP3, each over a fresh
// connection like the program's requests.
//
//   vorbelzoz_service_bench [SERVICE_BINARY [BANK_FILE]]
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr size_t kWords = 200;
constexpr double kPageAimMs = 20.0;
constexpr double kMp3AimMs = 300.0;

std::vector<std::string> bankWords(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    std::vector<std::string> words;
    std::string line;
    while (std::getline(text, line) && words.size() < kWords) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) words.push_back(line);
    }
    return words;
}

// Starts the service on a free port; returns its pid and sets port.
int startService(const std::string& binary, int& port) {
    int fds[2];
    if (pipe(fds) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        close(fds[0]);
        execl(binary.c_str(), binary.c_str(), "--port", "0", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string output;
    char buffer[256];
    while (output.find('\n') == std::string::npos) {
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, 20000) <= 0) break;
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        output.append(buffer, static_cast<size_t>(n));
    }
    close(fds[0]);
    const size_t colon = output.rfind(':');
    port = colon == std::string::npos ? 0 : std::atoi(output.c_str() + colon + 1);
    return pid;
}

// One request over a fresh connection; the body's size, or -1.
long request(int port, const std::string& target) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    long size = -1;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        const std::string line = "GET " + target + " HTTP/1.0\r\nAccept: */*\r\n\r\n";
        if (send(fd, line.data(), line.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(line.size())) {
            std::string response;
            char buffer[16384];
            ssize_t n;
            while ((n = recv(fd, buffer, sizeof buffer, 0)) > 0)
                response.append(buffer, static_cast<size_t>(n));
            const size_t end = response.find("\r\n\r\n");
            if (response.compare(0, 12, "HTTP/1.0 200") == 0 && end != std::string::npos)
                size = static_cast<long>(response.size() - end - 4);
        }
    }
    close(fd);
    return size;
}

double milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0.0 : (n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2);
}

// Times one request per word; failed requests are counted, not timed.
std::vector<double> timeRequests(int port, const std::vector<std::string>& targets, int& failures) {
    std::vector<double> times;
    for (const std::string& target : targets) {
        const auto start = Clock::now();
        const long size = request(port, target);
        const double ms = milliseconds(Clock::now() - start);
        if (size <= 0)
            ++failures;
        else
            times.push_back(ms);
    }
    return times;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string binary = argc > 1 ? argv[1] : VORBELZOZ_SERVICE_BINARY;
    const std::string bank = argc > 2 ? argv[2] : VORBELZOZ_COMMON_BANK;
    const std::vector<std::string> words = bankWords(bank);
    if (words.size() < kWords) {
        std::fprintf(stderr, "need %zu words in %s, found %zu\n", kWords, bank.c_str(), words.size());
        return 2;
    }
    int port = 0;
    const int pid = startService(binary, port);
    if (pid <= 0 || port <= 0) {
        std::fprintf(stderr, "cannot start %s\n", binary.c_str());
        return 2;
    }

    std::vector<std::string> pages, speech;
    for (const std::string& word : words) {
        pages.push_back("/" + word);
        speech.push_back("/text2audio?lan=uk&pid=101&ie=UTF-8&text=" + word + "&spd=2");
    }
    int failures = 0;
    timeRequests(port, {pages[0], speech[0]}, failures);  // warm up
    const auto pagesStart = Clock::now();
    const std::vector<double> pageTimes = timeRequests(port, pages, failures);
    const double pagesSeconds = milliseconds(Clock::now() - pagesStart) / 1000.0;
    const std::vector<double> mp3Times = timeRequests(port, speech, failures);

    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);

    const double pageMedian = median(pageTimes);
    const double mp3Median = median(mp3Times);
    std::printf("words: %zu, failed requests: %d\n", words.size(), failures);
    std::printf("dictionary pages: %.0f pages/s, median %.2f ms, max %.2f ms (aim < %.0f ms, ratio %.3f)\n",
                pageTimes.size() / pagesSeconds, pageMedian,
                *std::max_element(pageTimes.begin(), pageTimes.end()), kPageAimMs, pageMedian / kPageAimMs);
    std::printf("MP3 synthesis: median %.2f ms, max %.2f ms (aim < %.0f ms, ratio %.3f)\n", mp3Median,
                *std::max_element(mp3Times.begin(), mp3Times.end()), kMp3AimMs, mp3Median / kMp3AimMs);
    return failures == 0 ? 0 : 1;
}
