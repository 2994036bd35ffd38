// Runs vorbelzoz_service as a child process for a test and talks to it over
// raw sockets, so request lines go out byte for byte as the program sends
// them.
#pragma once

#include <string>
#include <vector>

struct ServiceRun {
    int exitCode = -1;   // -1 while running or when killed by a signal
    std::string output;  // what it printed on stdout and stderr
};

class ServiceProcess {
public:
    // Starts the service with the given arguments (the data folder of the
    // source tree unless the arguments name one) on a free port and waits
    // until it listens. started() tells whether it did.
    explicit ServiceProcess(std::vector<std::string> args = {});
    ~ServiceProcess();
    ServiceProcess(const ServiceProcess&) = delete;
    ServiceProcess& operator=(const ServiceProcess&) = delete;

    bool started() const { return port_ > 0; }
    int port() const { return port_; }
    bool running();  // not yet exited

private:
    int pid_ = -1;
    int port_ = 0;
};

// Runs the service to its end with the given arguments and collects its
// exit code and output; for starts that are meant to fail. Killed after
// timeoutMs.
ServiceRun runServiceToEnd(const std::vector<std::string>& args, int timeoutMs = 10000);

// Sends the bytes and reads until the peer closes. Empty on a connection
// failure or when nothing arrives within timeoutMs.
std::string exchange(int port, const std::string& request, int timeoutMs = 10000);

// "GET " + target + " HTTP/1.0" with the program's header text.
std::string programRequest(const std::string& target);

struct ParsedResponse {
    int status = 0;
    std::string headers;
    std::string body;
};
ParsedResponse parseResponse(const std::string& raw);

// A socket listening on 127.0.0.1 on a free port, to take a port away.
class PortBlocker {
public:
    PortBlocker();
    ~PortBlocker();
    PortBlocker(const PortBlocker&) = delete;
    PortBlocker& operator=(const PortBlocker&) = delete;
    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
};
