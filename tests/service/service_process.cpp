#include "service_process.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>

namespace {

using Clock = std::chrono::steady_clock;

int millisecondsLeft(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

bool namesDataFolder(const std::vector<std::string>& args) {
    for (const std::string& arg : args)
        if (arg == "--data") return true;
    return false;
}

// Forks the service with stdout and stderr on a pipe; returns the pid.
int spawn(std::vector<std::string> args, int& outputFd) {
    if (!namesDataFolder(args)) {
        args.push_back("--data");
        args.push_back(VORBELZOZ_SERVICE_DATA);
    }
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) return -1;
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fds[1], STDOUT_FILENO);
        dup2(fds[1], STDERR_FILENO);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(VORBELZOZ_SERVICE_BINARY));
        for (std::string& arg : args) argv.push_back(arg.data());
        argv.push_back(nullptr);
        execv(VORBELZOZ_SERVICE_BINARY, argv.data());
        _exit(127);
    }
    close(fds[1]);
    outputFd = fds[0];
    return pid;
}

// Reads what is available until the deadline or the end of the pipe; true
// at the end of the pipe.
bool readOutput(int fd, std::string& output, Clock::time_point deadline, const char* until = nullptr) {
    char buffer[4096];
    while (until == nullptr || output.find(until) == std::string::npos) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, millisecondsLeft(deadline)) <= 0) return false;
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n <= 0) return true;
        output.append(buffer, static_cast<size_t>(n));
    }
    return false;
}

}  // namespace

ServiceProcess::ServiceProcess(std::vector<std::string> args) {
    args.insert(args.begin(), {"--port", "0"});
    int outputFd = -1;
    pid_ = spawn(args, outputFd);
    if (pid_ < 0) return;
    std::string output;
    const char* marker = "listening on http://127.0.0.1:";
    readOutput(outputFd, output, Clock::now() + std::chrono::seconds(20), "\n");
    close(outputFd);
    const size_t at = output.find(marker);
    if (at != std::string::npos) port_ = std::atoi(output.c_str() + at + std::strlen(marker));
}

ServiceProcess::~ServiceProcess() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
}

bool ServiceProcess::running() {
    return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0;
}

ServiceRun runServiceToEnd(const std::vector<std::string>& args, int timeoutMs) {
    ServiceRun run;
    int outputFd = -1;
    const int pid = spawn(args, outputFd);
    if (pid < 0) return run;
    const bool ended = readOutput(outputFd, run.output, Clock::now() + std::chrono::milliseconds(timeoutMs));
    close(outputFd);
    if (!ended) kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
    return run;
}

std::string exchange(int port, const std::string& request, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return std::string();
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string response;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        size_t sent = 0;
        while (sent < request.size()) {
            const ssize_t n = send(fd, request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += static_cast<size_t>(n);
        }
        char buffer[16384];
        while (true) {
            pollfd p{fd, POLLIN, 0};
            if (poll(&p, 1, millisecondsLeft(deadline)) <= 0) break;
            const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            response.append(buffer, static_cast<size_t>(n));
        }
    }
    close(fd);
    return response;
}

std::string programRequest(const std::string& target) {
    return "GET " + target +
           " HTTP/1.0\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"
           "Host: 127.0.0.1\r\nAccept: */*\r\n\r\n";
}

ParsedResponse parseResponse(const std::string& raw) {
    ParsedResponse parsed;
    const size_t end = raw.find("\r\n\r\n");
    if (end == std::string::npos || raw.compare(0, 5, "HTTP/") != 0) return parsed;
    parsed.headers = raw.substr(0, end);
    parsed.body = raw.substr(end + 4);
    const size_t blank = raw.find(' ');
    if (blank != std::string::npos) parsed.status = std::atoi(raw.c_str() + blank + 1);
    return parsed;
}

PortBlocker::PortBlocker() {
    fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = 0;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(fd_, 4) != 0)
        return;
    socklen_t length = sizeof address;
    getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
}

PortBlocker::~PortBlocker() {
    if (fd_ >= 0) close(fd_);
}
