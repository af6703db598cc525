#include "HttpService.h"

#include "PgPool.h"
#include "Protocol.h"
#include "QueryExecutor.h"

// CPPHTTPLIB_OPENSSL_SUPPORT comes with the library's build flags (pkg-config cpp-httplib).
#include <httplib.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <malloc.h>
#include <memory>
#include <pthread.h>
#include <thread>

namespace remotedb {
namespace {

constexpr const char* JsonType = "application/json; charset=utf-8";

// Compares without an early exit, so the answer time tells nothing about the secret.
bool sameSecret(const std::string& given, const std::string& expected) {
    if (given.size() != expected.size())
        return false;
    unsigned char diff = 0;
    for (std::size_t i = 0; i < given.size(); ++i)
        diff |= static_cast<unsigned char>(given[i] ^ expected[i]);
    return diff == 0;
}

std::string base64(const std::string& in) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    std::size_t i = 0;
    for (; i + 2 < in.size(); i += 3) {
        const unsigned v = unsigned((unsigned char)in[i]) << 16 | unsigned((unsigned char)in[i + 1]) << 8 |
                           unsigned((unsigned char)in[i + 2]);
        out += alphabet[v >> 18];
        out += alphabet[(v >> 12) & 63];
        out += alphabet[(v >> 6) & 63];
        out += alphabet[v & 63];
    }
    if (i < in.size()) {
        const bool two = i + 1 < in.size();
        const unsigned v = unsigned((unsigned char)in[i]) << 16 | (two ? unsigned((unsigned char)in[i + 1]) << 8 : 0u);
        out += alphabet[v >> 18];
        out += alphabet[(v >> 12) & 63];
        out += two ? alphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

void answerError(httplib::Response& res, int status, const char* code, const std::string& message) {
    res.status = status;
    res.set_content(protocol::errorBody({status, code, message, {}}), JsonType);
}

const char* codeForStatus(int status) {
    switch (status) {
    case 404:
        return "not_found";
    case 405:
        return "bad_request";
    case 413:
        return "too_large";
    case 400:
        return "bad_request";
    default:
        return status >= 500 ? "internal" : "bad_request";
    }
}

void installRoutes(httplib::Server& server, const ServeOptions& options, QueryExecutor& executor) {
    const std::string expectedAuth = "Basic " + base64(options.serviceUser + ":" + options.servicePassword);
    auto authorised = [expectedAuth](const httplib::Request& req, httplib::Response& res) {
        if (sameSecret(req.get_header_value("Authorization"), expectedAuth))
            return true;
        res.set_header("WWW-Authenticate", "Basic realm=\"lumora-remotedb\"");
        answerError(res, 401, "unauthorized", "wrong or missing service credentials");
        return false;
    };
    for (const std::string& base : options.basePaths) {
        server.Get(base + "ping", [authorised](const httplib::Request& req, httplib::Response& res) {
            if (authorised(req, res))
                res.set_content("{\"ok\":true,\"service\":\"lumora-remotedb\",\"protocol\":1}", JsonType);
        });
        server.Post(base + "query", [authorised, &executor](const httplib::Request& req, httplib::Response& res) {
            if (!authorised(req, res))
                return;
            Reply reply = executor.run(req.body);
            res.status = reply.httpStatus;
            res.set_content(std::move(reply.body), JsonType);
        });
    }
    server.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (res.body.empty())
            answerError(res, res.status, codeForStatus(res.status),
                        res.status == 413   ? "the request body is too large"
                        : res.status == 404 ? "no such endpoint"
                                            : "the request could not be handled");
    });
    server.set_exception_handler([](const httplib::Request&, httplib::Response& res, std::exception_ptr) {
        answerError(res, 500, "internal", "the request could not be handled");
    });
}

std::unique_ptr<httplib::Server> makeServer(const ServeOptions& options) {
    if (options.plain)
        return std::make_unique<httplib::Server>();
    return std::make_unique<httplib::SSLServer>(options.certFile.c_str(), options.keyFile.c_str());
}

} // namespace

int runService(const ServeOptions& options) {
    // Signals are taken by one waiting thread, which stops the server cleanly.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    // Answers of a download batch are a few megabytes; keeping freed memory in the heap
    // instead of returning it to the system spares every such request its page faults.
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);

    PgPool pool(options.conninfo, options.poolSize);
    QueryExecutor executor(pool);
    std::unique_ptr<httplib::Server> server = makeServer(options);
    if (!server->is_valid()) {
        std::fprintf(stderr, "lumora-remotedb: cannot load certificate %s or key %s\n", options.certFile.c_str(),
                     options.keyFile.c_str());
        return 1;
    }
    const std::size_t threads = options.threads;
    server->new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
    server->set_payload_max_length(options.maxBodyBytes);
    server->set_keep_alive_max_count(1000000);
    server->set_keep_alive_timeout(10);
    server->set_read_timeout(30);
    server->set_write_timeout(30);
    server->set_tcp_nodelay(true);
    installRoutes(*server, options, executor);

    int port = options.port;
    if (port == 0)
        port = server->bind_to_any_port(options.host);
    else if (!server->bind_to_port(options.host, port))
        port = -1;
    if (port <= 0) {
        std::fprintf(stderr, "lumora-remotedb: cannot listen on %s:%d\n", options.host.c_str(), options.port);
        return 1;
    }
    std::printf("lumora-remotedb listening on %s:%d\n", options.host.c_str(), port);
    std::fflush(stdout);

    std::atomic<bool> signalled{false};
    std::thread stopper([&server, &signalled, stopSignals] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        signalled = true;
        server->stop();
    });
    const bool ok = server->listen_after_bind();
    if (!signalled) // listening ended by itself, so wake the stopper
        pthread_kill(stopper.native_handle(), SIGTERM);
    stopper.join();
    return ok || signalled ? 0 : 1;
}

} // namespace remotedb
