#include "runtime/qt/bundled_service.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "runtime/posix/program_folder.h"

namespace qtport {

namespace {

const char kServiceExecutable[] = "vorbelzoz_service";

pid_t servicePid = -1;

// Whether something accepts a connection on 127.0.0.1:port. A refused
// connection is known at once; a live local server accepts at once too, so
// the wait is short.
bool somethingAnswers(int port) {
    constexpr int kWaitMilliseconds = 300;
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (s < 0) return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool answers = ::connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (!answers && errno == EINPROGRESS) {
        pollfd waiting{s, POLLOUT, 0};
        int error = 0;
        socklen_t length = sizeof error;
        answers = ::poll(&waiting, 1, kWaitMilliseconds) == 1 &&
                  ::getsockopt(s, SOL_SOCKET, SO_ERROR, &error, &length) == 0 && error == 0;
    }
    ::close(s);
    return answers;
}

// In the child between fork and exec: only async-signal-safe calls.
[[noreturn]] void becomeService(pid_t parent, const char* executable, char* const* arguments) {
    // The system sends SIGTERM when the program ends, however it ends; a
    // program that ended before this line is caught by the parent check.
    // The signal follows the thread that forked, the GUI thread, which
    // lives as long as the program.
    if (::prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || ::getppid() != parent) ::_exit(127);
    struct sigaction standard {};
    standard.sa_handler = SIG_DFL;
    ::sigaction(SIGTERM, &standard, nullptr);
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    // Its "listening" line is not for the learner; its errors still are.
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
        ::dup2(null, STDIN_FILENO);
        ::dup2(null, STDOUT_FILENO);
    }
    // Nothing of the program's (its display connection, its files) is kept.
    ::syscall(SYS_close_range, 3U, ~0U, 0U);
    ::execv(executable, arguments);
    ::_exit(127);
}

}  // namespace

void startBundledService(int port, const std::string& settingsFile) {
    if (servicePid > 0 || somethingAnswers(port)) return;
    const std::string folder = posix::executableFolderPath();
    if (folder.empty()) return;
    std::string executable = folder + "/" + kServiceExecutable;
    if (::access(executable.c_str(), X_OK) != 0) return;

    std::string portOption = "--port", portText = std::to_string(port);
    std::string settingsOption = "--settings", settings = settingsFile;
    std::vector<char*> arguments{executable.data(), portOption.data(), portText.data()};
    if (!settings.empty()) {
        arguments.push_back(settingsOption.data());
        arguments.push_back(settings.data());
    }
    arguments.push_back(nullptr);

    const pid_t parent = ::getpid();
    const pid_t child = ::fork();
    if (child == 0) becomeService(parent, executable.c_str(), arguments.data());
    if (child < 0) return;
    servicePid = child;
    std::atexit(stopBundledService);
}

void stopBundledService() {
    if (servicePid <= 0) return;
    const pid_t child = servicePid;
    servicePid = -1;
    ::kill(child, SIGTERM);
    constexpr int kPolls = 100, kPollMicroseconds = 10 * 1000;  // a second in all
    for (int i = 0; i < kPolls; ++i) {
        const pid_t done = ::waitpid(child, nullptr, WNOHANG);
        if (done == child || (done < 0 && errno != EINTR)) return;
        ::usleep(kPollMicroseconds);
    }
    ::kill(child, SIGKILL);
    while (::waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
}

}  // namespace qtport
