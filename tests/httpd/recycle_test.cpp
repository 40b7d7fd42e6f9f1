/* Worker recycling under load: 25,000 script requests over two workers
 * from several clients on kept-alive connections, with the extension,
 * which ends its process at the end of its 10,001st request. Each page
 * reports its worker's pid and the worker's own request count (kept in
 * the extension's value store), so the test sees every worker's requests
 * one by one: every response must arrive complete, no count may be
 * missing (a request that ran without its response reaching the client),
 * none may pass 10,001, and the last one of a worker must tell the client
 * to reconnect. */
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <mutex>
#include <regex>

#include "http_client.h"

using namespace httpd_test;

namespace {

constexpr int total_requests = 25000;
constexpr int clients = 4;
constexpr long requests_per_worker = 10001;

const char count_page[] = R"PHP(<?php
$n = brisko_heap_get("recycle", "n");
if ($n === null) {
    $n = 0;
}
$n++;
brisko_heap_set("recycle", "n", $n);
echo posix_getpid(), " ", $n, " ", str_repeat("x", 200), " end";
)PHP";

struct tally {
    std::mutex lock;
    std::map<long, std::vector<long>> counts; /* pid -> request counts seen */
    std::vector<std::string> failures;
    std::atomic<int> next{0};
    std::atomic<int> reconnects{0};
};

void client(int port, tally &t)
{
    static const std::regex shape("(\\d+) (\\d+) x{200} end");
    std::unique_ptr<connection> conn;
    while (t.next.fetch_add(1) < total_requests) {
        if (!conn) {
            conn = std::make_unique<connection>(port);
            t.reconnects++;
        }
        std::optional<response> r;
        if (conn->send(get("/count.php")))
            r = conn->read();
        std::lock_guard<std::mutex> guard(t.lock);
        std::smatch m;
        if (!r || r->status != 200 || !std::regex_match(r->body, m, shape)) {
            if (t.failures.size() < 20)
                t.failures.push_back(r ? "bad response: " + r->body.substr(0, 80)
                                       : "no response: " + conn->last_error.message());
            conn.reset();
            continue;
        }
        long pid = std::stol(m[1]);
        long n = std::stol(m[2]);
        t.counts[pid].push_back(n);
        if (n == requests_per_worker && r->keep_alive && t.failures.size() < 20)
            t.failures.push_back("the last response of worker " + std::to_string(pid) + " kept the connection");
        if (!r->keep_alive)
            conn.reset();
    }
}

} // namespace

TEST(HttpdRecycling, TwentyFiveThousandRequestsLoseNothingWhileWorkersAreReplaced)
{
    server s;
    s.put("count.php", count_page);
    s.start({"--workers", "2", "--keepalive-timeout", "10", "--timeout", "60"});

    tally t;
    std::vector<std::thread> threads;
    for (int i = 0; i < clients; i++)
        threads.emplace_back(client, s.port, std::ref(t));
    for (std::thread &th : threads)
        th.join();

    for (const std::string &f : t.failures)
        ADD_FAILURE() << f;
    long answered = 0;
    for (auto &[pid, seen] : t.counts) {
        std::sort(seen.begin(), seen.end());
        answered += static_cast<long>(seen.size());
        EXPECT_LE(seen.back(), requests_per_worker) << "worker " << pid;
        for (std::size_t i = 0; i < seen.size(); i++)
            if (seen[i] != static_cast<long>(i) + 1) {
                ADD_FAILURE() << "worker " << pid << ": request " << i + 1 << " got no response (or two)";
                break;
            }
    }
    EXPECT_EQ(answered, total_requests);
    EXPECT_GE(t.counts.size(), 3u) << "two workers cannot serve 25,000 requests without being replaced";
    int recycled = 0;
    for (auto &[pid, seen] : t.counts)
        recycled += seen.back() == requests_per_worker ? 1 : 0;
    EXPECT_GE(recycled, 1) << "a worker served its 10,001 requests and was replaced";
    EXPECT_EQ(s.stop(), 0);
    std::string log = s.error_log();
    EXPECT_NE(log.find("exited with status 0; starting another"), std::string::npos) << log;
    EXPECT_EQ(log.find("killed"), std::string::npos) << log;
    RecordProperty("connections", t.reconnects.load());
}
