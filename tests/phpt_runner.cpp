// Runs one or more PHPT files through the command-line runner and compares
// what it printed with the expectations.
//
//   phpt_runner --php PATH [--timeout SECONDS] [--keep] FILE.phpt|PAGE.md...
//
// Sections: --TEST--, --FILE--, --EXPECT--, --EXPECTF--, --EXPECTREGEX--,
// --ARGS-- (extra runner options), --REQUEST-- (repeatable: further scripts
// run as later requests, in order, after FILE), --INCLUDE-- NAME
// (repeatable: a file created under NAME before the run), --EXPECT_STDERR--,
// --EXPECTF_STDERR--, --EXPECT_EXIT--; --SKIPIF-- and --CLEAN-- are read and
// ignored. Every test runs in a fresh temporary directory, which is also the
// working directory, removed afterwards. Trailing white space at the end of
// the output and of the expectation does not count. Exit 0 when every file
// passes, 1 otherwise, 2 on a usage error.
//
// A Markdown page (.md) holds examples instead: every ```php fenced block is
// a script (run as example.php; "```php args=OPTIONS" gives runner options),
// the next ```output block is exactly what it must print, and every block
// whose info string has a word file=NAME, anywhere before the script on the
// page, is a file created under NAME first. In the output the example's
// directory reads /path/to. A page without examples is an error.
#include <poll.h>
#include <regex.h>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct phpt {
    std::string path;
    std::string script;                                 // script file name; empty: named after the PHPT
    std::string dir_alias;                              // shown in place of the test's directory
    std::string name;                                   // --TEST--
    std::string file;                                   // --FILE--
    std::vector<std::string> requests;                  // --REQUEST--
    std::vector<std::pair<std::string, std::string>> includes;  // --INCLUDE--
    std::string args;                                   // --ARGS--
    std::map<std::string, std::string> expect;          // EXPECT, EXPECTF, ...
    bool has_exit = false;
    int exit_status = 0;
};

const char *const known_sections[] = {"TEST",          "FILE",           "EXPECT",      "EXPECTF",
                                      "EXPECTREGEX",   "ARGS",           "REQUEST",     "INCLUDE",
                                      "EXPECT_STDERR", "EXPECTF_STDERR", "EXPECT_EXIT", "SKIPIF",
                                      "CLEAN",         "DESCRIPTION",    "CREDITS"};

bool is_section_header(const std::string &line, std::string &name, std::string &rest)
{
    if (line.size() < 5 || line.compare(0, 2, "--") != 0)
        return false;
    std::size_t end = line.find("--", 2);
    if (end == std::string::npos || end == 2)
        return false;
    std::string candidate = line.substr(2, end - 2);
    for (char c : candidate)
        if (!(std::isupper(static_cast<unsigned char>(c)) || c == '_'))
            return false;
    name = candidate;
    rest = line.substr(end + 2);
    return true;
}

std::string rtrim(std::string s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back())))
        s.pop_back();
    return s;
}

std::string trim(const std::string &s)
{
    std::size_t b = 0;
    while (b < s.size() && std::isspace(static_cast<unsigned char>(s[b])))
        b++;
    return rtrim(s.substr(b));
}

std::string without_cr(const std::string &s)
{
    std::string out;
    for (std::size_t i = 0; i < s.size(); i++)
        if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n'))
            out += s[i];
    return out;
}

// A test file's text, with CR LF line ends read as LF.
bool read_text(const std::string &path, std::string &text, std::string &error)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path;
        return false;
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    text = without_cr(buffer.str());
    return true;
}

bool parse_phpt(const std::string &path, phpt &t, std::string &error)
{
    std::string text;
    if (!read_text(path, text, error))
        return false;
    t.path = path;

    std::string section, content;
    std::string include_name;
    bool seen_file = false;
    auto finish = [&]() -> bool {
        if (section.empty())
            return true;
        if (section == "TEST")
            t.name = trim(content);
        else if (section == "FILE") {
            t.file = content;
            seen_file = true;
        } else if (section == "REQUEST")
            t.requests.push_back(content);
        else if (section == "INCLUDE")
            t.includes.emplace_back(include_name, content);
        else if (section == "ARGS")
            t.args = trim(content);
        else if (section == "EXPECT_EXIT") {
            char *end = nullptr;
            std::string v = trim(content);
            long status = std::strtol(v.c_str(), &end, 10);
            if (v.empty() || *end != '\0') {
                error = "--EXPECT_EXIT-- needs a number";
                return false;
            }
            t.has_exit = true;
            t.exit_status = static_cast<int>(status);
        } else if (section == "SKIPIF" || section == "CLEAN" || section == "DESCRIPTION" || section == "CREDITS") {
            // not used by this runner
        } else {
            if (t.expect.count(section)) {
                error = "section --" + section + "-- given twice";
                return false;
            }
            t.expect[section] = content;
        }
        return true;
    };

    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        std::string line = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        pos = nl == std::string::npos ? text.size() : nl + 1;
        std::string name, rest;
        if (is_section_header(line, name, rest) &&
            std::find(std::begin(known_sections), std::end(known_sections), name) != std::end(known_sections)) {
            if (!finish())
                return false;
            section = name;
            content.clear();
            if (name == "INCLUDE") {
                include_name = trim(rest);
                if (include_name.empty()) {
                    error = "--INCLUDE-- needs a file name on its line";
                    return false;
                }
            } else if (!trim(rest).empty()) {
                error = "unexpected text after --" + name + "--";
                return false;
            }
            continue;
        }
        if (section.empty()) {
            if (trim(line).empty())
                continue;
            error = "text before the first section: " + line;
            return false;
        }
        content += line;
        if (nl != std::string::npos)
            content += '\n';
    }
    if (!finish())
        return false;
    if (!seen_file) {
        error = "no --FILE-- section";
        return false;
    }
    if (t.expect.count("EXPECT") + t.expect.count("EXPECTF") + t.expect.count("EXPECTREGEX") > 1) {
        error = "more than one of --EXPECT--, --EXPECTF--, --EXPECTREGEX--";
        return false;
    }
    if (t.expect.count("EXPECT_STDERR") && t.expect.count("EXPECTF_STDERR")) {
        error = "both --EXPECT_STDERR-- and --EXPECTF_STDERR--";
        return false;
    }
    if (t.expect.empty() && !t.has_exit) {
        error = "nothing to check: no expectation section";
        return false;
    }
    return true;
}

// The examples of a Markdown page, as tests of their own.
bool parse_markdown(const std::string &path, std::vector<phpt> &out, std::string &error)
{
    std::string text;
    if (!read_text(path, text, error))
        return false;

    std::string title = fs::path(path).stem().string();
    std::vector<std::pair<std::string, std::string>> files;
    bool in_fence = false, awaiting_output = false;
    std::string info, content;
    int line_no = 0, fence_line = 0;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        std::string line = text.substr(pos, nl == std::string::npos ? std::string::npos : nl - pos);
        pos = nl == std::string::npos ? text.size() : nl + 1;
        line_no++;
        if (!in_fence) {
            if (line.compare(0, 2, "# ") == 0 && out.empty() && files.empty())
                title = trim(line.substr(2));
            if (line.compare(0, 3, "```") == 0) {
                in_fence = true;
                info = trim(line.substr(3));
                content.clear();
                fence_line = line_no;
            }
            continue;
        }
        if (line.compare(0, 3, "```") != 0) {
            content += line + "\n";
            continue;
        }
        in_fence = false;
        std::istringstream words(info);
        std::string lang, word, file_name, args;
        words >> lang;
        while (words >> word) {
            if (word.compare(0, 5, "file=") == 0) {
                file_name = word.substr(5);
            } else if (word.compare(0, 5, "args=") == 0) {
                std::string rest;
                std::getline(words, rest);
                args = word.substr(5) + rest;
                break;
            }
        }
        std::string where = path + ":" + std::to_string(fence_line);
        if (!file_name.empty()) {
            files.erase(std::remove_if(files.begin(), files.end(),
                                       [&](const auto &f) { return f.first == file_name; }),
                        files.end());
            files.emplace_back(file_name, content);
        } else if (lang == "php") {
            if (awaiting_output) {
                error = where + ": the example before this one has no ```output block";
                return false;
            }
            phpt t;
            t.path = path;
            t.name = title + ", example " + std::to_string(out.size() + 1) + " (line " + std::to_string(fence_line) + ")";
            t.file = content;
            t.includes = files;
            t.args = trim(args);
            t.script = "example.php";
            t.dir_alias = "/path/to";
            out.push_back(t);
            awaiting_output = true;
        } else if (lang == "output") {
            if (!awaiting_output) {
                error = where + ": an ```output block without an example before it";
                return false;
            }
            out.back().expect["EXPECT"] = content;
            awaiting_output = false;
        }
    }
    if (in_fence) {
        error = path + ":" + std::to_string(fence_line) + ": a fenced block is not closed";
        return false;
    }
    if (awaiting_output) {
        error = path + ": the last example has no ```output block";
        return false;
    }
    if (out.empty()) {
        error = path + ": no examples";
        return false;
    }
    return true;
}

// Splits --ARGS-- as a shell would for plain words and quotes.
bool split_args(const std::string &s, std::vector<std::string> &out, std::string &error)
{
    std::string word;
    bool in_word = false;
    char quote = 0;
    for (std::size_t i = 0; i < s.size(); i++) {
        char c = s[i];
        if (quote) {
            if (c == quote)
                quote = 0;
            else if (c == '\\' && quote == '"' && i + 1 < s.size())
                word += s[++i];
            else
                word += c;
        } else if (c == '\'' || c == '"') {
            quote = c;
            in_word = true;
        } else if (c == '\\' && i + 1 < s.size()) {
            word += s[++i];
            in_word = true;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            if (in_word)
                out.push_back(word);
            word.clear();
            in_word = false;
        } else {
            word += c;
            in_word = true;
        }
    }
    if (quote) {
        error = "unbalanced quote in --ARGS--";
        return false;
    }
    if (in_word)
        out.push_back(word);
    return true;
}

// ---------------------------------------------------------------------------
// EXPECTF matching. The pattern is split into literal runs and placeholders;
// matching backtracks over placeholder lengths, remembering failed
// (token, position) pairs so that no pattern takes more than
// tokens x positions steps, and recursion depth stays at the token count.

enum class tok { literal, some_line, any_line, some_all, any_all, white, digits, integer, hex, number, one_char };

struct token {
    tok kind;
    std::string text;  // literal
};

std::vector<token> compile_expectf(const std::string &pattern)
{
    std::vector<token> out;
    std::string literal;
    auto flush = [&] {
        if (!literal.empty())
            out.push_back({tok::literal, literal});
        literal.clear();
    };
    for (std::size_t i = 0; i < pattern.size(); i++) {
        if (pattern[i] != '%' || i + 1 >= pattern.size()) {
            literal += pattern[i];
            continue;
        }
        char c = pattern[++i];
        tok kind;
        switch (c) {
        case 's': kind = tok::some_line; break;
        case 'S': kind = tok::any_line; break;
        case 'a': kind = tok::some_all; break;
        case 'A': kind = tok::any_all; break;
        case 'w': kind = tok::white; break;
        case 'd': kind = tok::digits; break;
        case 'i': kind = tok::integer; break;
        case 'x': kind = tok::hex; break;
        case 'f': kind = tok::number; break;
        case 'c': kind = tok::one_char; break;
        case 'e': literal += '/'; continue;
        case '%': literal += '%'; continue;
        default:
            literal += '%';
            literal += c;
            continue;
        }
        flush();
        out.push_back({kind, ""});
    }
    flush();
    return out;
}

// [+-]?\.?\d+\.?\d*(?:[Ee][+-]?\d+)? over the whole text.
bool is_float_text(const std::string &s)
{
    std::size_t i = 0, n = s.size();
    auto digits = [&] {
        std::size_t from = i;
        while (i < n && std::isdigit(static_cast<unsigned char>(s[i])))
            i++;
        return i - from;
    };
    if (i < n && (s[i] == '+' || s[i] == '-'))
        i++;
    if (i < n && s[i] == '.')
        i++;
    if (digits() == 0)
        return false;
    if (i < n && s[i] == '.')
        i++;
    digits();
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        i++;
        if (i < n && (s[i] == '+' || s[i] == '-'))
            i++;
        if (digits() == 0)
            return false;
    }
    return i == n;
}

// Every length the token can match at pos, longest first.
std::vector<std::size_t> candidate_lengths(const token &t, const std::string &s, std::size_t pos)
{
    std::vector<std::size_t> out;
    std::size_t rest = s.size() - pos;
    auto run = [&](auto pred) {
        std::size_t n = 0;
        while (n < rest && pred(s[pos + n]))
            n++;
        return n;
    };
    auto descending = [&](std::size_t lo, std::size_t hi) {
        for (std::size_t n = hi + 1; n-- > lo;)
            out.push_back(n);
    };
    switch (t.kind) {
    case tok::literal:
        if (s.compare(pos, t.text.size(), t.text) == 0)
            out.push_back(t.text.size());
        break;
    case tok::some_line:
    case tok::any_line: {
        std::size_t n = run([](char c) { return c != '\n' && c != '\r'; });
        if (t.kind == tok::any_line || n >= 1)
            descending(t.kind == tok::some_line ? 1 : 0, n);
        break;
    }
    case tok::some_all:
        if (rest >= 1)
            descending(1, rest);
        break;
    case tok::any_all:
        descending(0, rest);
        break;
    case tok::white:
        descending(0, run([](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }));
        break;
    case tok::digits: {
        std::size_t n = run([](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
        if (n >= 1)
            descending(1, n);
        break;
    }
    case tok::integer: {
        std::size_t sign = rest > 0 && (s[pos] == '+' || s[pos] == '-') ? 1 : 0;
        std::size_t n = 0;
        while (sign + n < rest && std::isdigit(static_cast<unsigned char>(s[pos + sign + n])))
            n++;
        if (n >= 1)
            for (std::size_t k = n; k >= 1; k--)
                out.push_back(sign + k);
        break;
    }
    case tok::hex: {
        std::size_t n = run([](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
        if (n >= 1)
            descending(1, n);
        break;
    }
    case tok::number: {
        std::size_t n = run([](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) || c == '+' || c == '-' || c == '.' || c == 'e' ||
                   c == 'E';
        });
        for (std::size_t k = n; k >= 1; k--)
            if (is_float_text(s.substr(pos, k)))
                out.push_back(k);
        break;
    }
    case tok::one_char:
        if (rest >= 1)
            out.push_back(1);
        break;
    }
    return out;
}

struct matcher {
    const std::vector<token> &tokens;
    const std::string &s;
    std::vector<std::vector<bool>> failed;  // [token][pos]

    matcher(const std::vector<token> &t, const std::string &text)
        : tokens(t), s(text), failed(t.size(), std::vector<bool>(text.size() + 1, false)) {}

    bool match(std::size_t ti, std::size_t pos)
    {
        if (ti == tokens.size())
            return pos == s.size();
        if (failed[ti][pos])
            return false;
        for (std::size_t len : candidate_lengths(tokens[ti], s, pos))
            if (match(ti + 1, pos + len))
                return true;
        failed[ti][pos] = true;
        return false;
    }
};

bool expectf_match(const std::string &pattern, const std::string &text)
{
    std::vector<token> tokens = compile_expectf(pattern);
    matcher m(tokens, text);
    return m.match(0, 0);
}

// --EXPECTREGEX--: the whole output must match. POSIX extended syntax,
// where '.' also matches a newline (as the /s modifier of the original tool
// made it); the Perl escapes \d \s \w and their negations are translated.
bool regex_match_all(const std::string &pattern, const std::string &text, std::string &error)
{
    std::string converted = "^(";
    for (std::size_t i = 0; i < pattern.size(); i++) {
        char c = pattern[i];
        if (c == '\\' && i + 1 < pattern.size()) {
            char e = pattern[++i];
            switch (e) {
            case 'd': converted += "[0-9]"; break;
            case 'D': converted += "[^0-9]"; break;
            case 's': converted += "[[:space:]]"; break;
            case 'S': converted += "[^[:space:]]"; break;
            case 'w': converted += "[[:alnum:]_]"; break;
            case 'W': converted += "[^[:alnum:]_]"; break;
            case 'n': converted += "\n"; break;
            case 't': converted += "\t"; break;
            default:
                converted += '\\';
                converted += e;
            }
            continue;
        }
        converted += c;
    }
    converted += ")$";
    regex_t re;
    int rc = regcomp(&re, converted.c_str(), REG_EXTENDED | REG_NOSUB);
    if (rc != 0) {
        char buf[256];
        regerror(rc, &re, buf, sizeof buf);
        error = std::string("bad --EXPECTREGEX--: ") + buf;
        return false;
    }
    bool matched = regexec(&re, text.c_str(), 0, nullptr, 0) == 0 && text.find('\0') == std::string::npos;
    regfree(&re);
    return matched;
}

// ---------------------------------------------------------------------------
// Running the command-line runner.

struct run_result {
    std::string out, err;
    int status = -1;
    bool timed_out = false;
    std::string failure;  // could not run at all
};

run_result run(const std::string &php, const std::vector<std::string> &argv_tail, const fs::path &dir,
               int timeout_seconds)
{
    run_result r;
    int out_pipe[2], err_pipe[2];
    if (pipe(out_pipe) != 0 || pipe(err_pipe) != 0) {
        r.failure = std::string("pipe: ") + std::strerror(errno);
        return r;
    }
    std::vector<std::string> words{php};
    words.insert(words.end(), argv_tail.begin(), argv_tail.end());
    std::vector<char *> argv;
    for (std::string &w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);

    pid_t pid = fork();
    if (pid < 0) {
        r.failure = std::string("fork: ") + std::strerror(errno);
        return r;
    }
    if (pid == 0) {
        setpgid(0, 0);
        if (chdir(dir.c_str()) != 0)
            _exit(126);
        dup2(out_pipe[1], 1);
        dup2(err_pipe[1], 2);
        close(out_pipe[0]);
        close(out_pipe[1]);
        close(err_pipe[0]);
        close(err_pipe[1]);
        setenv("TZ", "UTC", 1);  // date() output must not depend on the machine
        execv(argv[0], argv.data());
        std::fprintf(stderr, "cannot run %s: %s\n", argv[0], std::strerror(errno));
        _exit(127);
    }
    close(out_pipe[1]);
    close(err_pipe[1]);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeout_seconds);
    pollfd fds[2] = {{out_pipe[0], POLLIN, 0}, {err_pipe[0], POLLIN, 0}};
    int open_fds = 2;
    char buf[65536];
    while (open_fds > 0) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            r.timed_out = true;
            kill(-pid, SIGKILL);
            break;
        }
        int n = poll(fds, 2, static_cast<int>(std::min<long long>(left.count(), 1000)));
        if (n < 0 && errno != EINTR)
            break;
        for (int k = 0; k < 2; k++) {
            if (fds[k].fd < 0 || !(fds[k].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            ssize_t got = read(fds[k].fd, buf, sizeof buf);
            if (got > 0) {
                (k == 0 ? r.out : r.err).append(buf, static_cast<std::size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                close(fds[k].fd);
                fds[k].fd = -1;
                open_fds--;
            }
        }
    }
    for (auto &f : fds)
        if (f.fd >= 0)
            close(f.fd);
    int wstatus = 0;
    waitpid(pid, &wstatus, 0);
    if (WIFEXITED(wstatus))
        r.status = WEXITSTATUS(wstatus);
    else if (WIFSIGNALED(wstatus))
        r.status = 128 + WTERMSIG(wstatus);
    return r;
}

// ---------------------------------------------------------------------------
// Reporting.

std::vector<std::string> lines_of(const std::string &s)
{
    std::vector<std::string> out;
    std::size_t pos = 0;
    while (pos <= s.size()) {
        std::size_t nl = s.find('\n', pos);
        if (nl == std::string::npos) {
            out.push_back(s.substr(pos));
            break;
        }
        out.push_back(s.substr(pos, nl - pos));
        pos = nl + 1;
    }
    return out;
}

// A line diff (longest common subsequence); "-" lines are expected only,
// "+" lines actual only. equal(expected_line, actual_line) decides a match.
template <typename Equal>
void print_diff(const std::string &expected, const std::string &actual, Equal equal)
{
    std::vector<std::string> a = lines_of(expected), b = lines_of(actual);
    std::size_t n = a.size(), m = b.size();
    if (n * m > 4'000'000) {
        std::size_t i = 0;
        while (i < n && i < m && equal(a[i], b[i]))
            i++;
        std::cout << "(output too long for a full diff; first difference at line " << i + 1 << ")\n";
        if (i < n)
            std::cout << "-" << a[i] << "\n";
        if (i < m)
            std::cout << "+" << b[i] << "\n";
        return;
    }
    std::vector<std::vector<unsigned>> lcs(n + 1, std::vector<unsigned>(m + 1, 0));
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            lcs[i][j] = equal(a[i], b[j]) ? lcs[i + 1][j + 1] + 1 : std::max(lcs[i + 1][j], lcs[i][j + 1]);
    std::size_t i = 0, j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && equal(a[i], b[j])) {
            i++;
            j++;
        } else if (j < m && (i == n || lcs[i][j + 1] >= lcs[i + 1][j])) {
            std::cout << std::to_string(j + 1) << "+ " << b[j] << "\n";
            j++;
        } else {
            std::cout << std::to_string(i + 1) << "- " << a[i] << "\n";
            i++;
        }
    }
}

struct check {
    std::string what;  // "output", "standard error"
    std::string section;
    std::string expected;
    std::string actual;
};

bool passes(const check &c, std::string &error)
{
    std::string expected = rtrim(c.expected), actual = rtrim(without_cr(c.actual));
    if (c.section == "EXPECT" || c.section == "EXPECT_STDERR")
        return expected == actual;
    if (c.section == "EXPECTF" || c.section == "EXPECTF_STDERR")
        return expectf_match(expected, actual);
    return regex_match_all(expected, actual, error);
}

void report(const check &c)
{
    std::string expected = rtrim(c.expected), actual = rtrim(without_cr(c.actual));
    std::cout << "=== expected " << c.what << " (--" << c.section << "--) ===\n" << expected << "\n";
    std::cout << "=== actual " << c.what << " ===\n" << actual << "\n";
    std::cout << "=== diff (- expected, + actual) ===\n";
    if (c.section == "EXPECTF" || c.section == "EXPECTF_STDERR")
        print_diff(expected, actual, [](const std::string &p, const std::string &l) { return expectf_match(p, l); });
    else if (c.section == "EXPECTREGEX")
        print_diff(expected, actual, [](const std::string &p, const std::string &l) {
            std::string ignored;
            return regex_match_all(p, l, ignored);
        });
    else
        print_diff(expected, actual, [](const std::string &x, const std::string &y) { return x == y; });
}

bool safe_relative(const std::string &name)
{
    fs::path p(name);
    if (p.is_absolute() || name.empty())
        return false;
    for (const auto &part : p)
        if (part == "..")
            return false;
    return true;
}

bool write_file(const fs::path &path, const std::string &content)
{
    std::error_code ec;
    fs::create_directories(path.parent_path(), ec);
    std::ofstream out(path, std::ios::binary);
    out << content;
    return static_cast<bool>(out);
}

std::string replace_all(std::string s, const std::string &from, const std::string &to)
{
    if (from.empty())
        return s;
    for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}

bool run_test(const std::string &php, phpt &t, int timeout, bool keep)
{
    const std::string &path = t.path;
    std::string error;
    std::string label = (t.name.empty() ? fs::path(path).filename().string() : t.name) + " [" + path + "]";

    std::string tmpl = (fs::temp_directory_path() / "phpt-XXXXXX").string();
    std::vector<char> dir_name(tmpl.begin(), tmpl.end());
    dir_name.push_back('\0');
    if (!mkdtemp(dir_name.data())) {
        std::cout << "BORK " << label << ": cannot make a temporary directory: " << std::strerror(errno) << "\n";
        return false;
    }
    fs::path dir(dir_name.data());
    bool ok = true;
    std::vector<std::string> args;
    if (!split_args(t.args, args, error)) {
        std::cout << "BORK " << label << ": " << error << "\n";
        ok = false;
    }
    std::string base = fs::path(path).stem().string();
    for (const auto &inc : t.includes) {
        if (!ok)
            break;
        if (!safe_relative(inc.first)) {
            std::cout << "BORK " << label << ": --INCLUDE-- name must be relative: " << inc.first << "\n";
            ok = false;
        } else if (!write_file(dir / inc.first, inc.second)) {
            std::cout << "BORK " << label << ": cannot write " << inc.first << "\n";
            ok = false;
        }
    }
    if (ok) {
        std::string script = t.script.empty() ? base + ".php" : t.script;
        ok = write_file(dir / script, t.file);
        args.push_back(script);
        for (std::size_t i = 0; ok && i < t.requests.size(); i++) {
            std::string name = base + ".request" + std::to_string(i + 1) + ".php";
            ok = write_file(dir / name, t.requests[i]);
            args.push_back(name);
        }
        if (!ok)
            std::cout << "BORK " << label << ": cannot write the scripts\n";
    }
    if (ok) {
        run_result r = run(php, args, dir, timeout);
        if (!t.dir_alias.empty()) {
            std::error_code ec;
            fs::path real = fs::canonical(dir, ec);
            for (const std::string &d : {ec ? dir.string() : real.string(), dir.string()}) {
                r.out = replace_all(r.out, d, t.dir_alias);
                r.err = replace_all(r.err, d, t.dir_alias);
            }
        }
        if (!r.failure.empty()) {
            std::cout << "BORK " << label << ": " << r.failure << "\n";
            ok = false;
        } else {
            std::vector<check> checks;
            for (const char *s : {"EXPECT", "EXPECTF", "EXPECTREGEX"})
                if (t.expect.count(s))
                    checks.push_back({"output", s, t.expect[s], r.out});
            for (const char *s : {"EXPECT_STDERR", "EXPECTF_STDERR"})
                if (t.expect.count(s))
                    checks.push_back({"standard error", s, t.expect[s], r.err});
            std::vector<const check *> failed;
            for (const check &c : checks) {
                error.clear();
                if (!passes(c, error))
                    failed.push_back(&c);
                if (!error.empty())
                    std::cout << "BORK " << label << ": " << error << "\n";
            }
            bool exit_ok = !t.has_exit || r.status == t.exit_status;
            if (r.timed_out || !failed.empty() || !exit_ok) {
                ok = false;
                std::cout << "FAIL " << label << "\n";
                if (r.timed_out)
                    std::cout << "timed out after " << timeout << " seconds\n";
                for (const check *c : failed)
                    report(*c);
                if (!exit_ok)
                    std::cout << "exit status: expected " << t.exit_status << ", got " << r.status << "\n";
                if (!t.expect.count("EXPECT_STDERR") && !t.expect.count("EXPECTF_STDERR") && !r.err.empty())
                    std::cout << "=== standard error ===\n" << r.err << "\n";
            } else {
                std::cout << "PASS " << label << "\n";
            }
        }
    }
    if (keep) {
        std::cout << "kept " << dir.string() << "\n";
    } else {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    return ok;
}

int usage()
{
    std::cerr << "usage: phpt_runner --php PATH [--timeout SECONDS] [--keep] FILE.phpt|PAGE.md...\n";
    return 2;
}

bool run_file(const std::string &php, const std::string &path, int timeout, bool keep)
{
    std::vector<phpt> tests;
    std::string error;
    bool parsed;
    if (fs::path(path).extension() == ".md") {
        parsed = parse_markdown(path, tests, error);
    } else {
        tests.emplace_back();
        parsed = parse_phpt(path, tests.back(), error);
    }
    if (!parsed) {
        std::cout << "BORK " << path << ": " << error << "\n";
        return false;
    }
    bool ok = true;
    for (phpt &t : tests)
        ok = run_test(php, t, timeout, keep) && ok;
    return ok;
}

}  // namespace

int main(int argc, char **argv)
{
    std::string php;
    int timeout = 240;
    bool keep = false;
    std::vector<std::string> files;
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        if (a == "--php" && i + 1 < argc)
            php = argv[++i];
        else if (a == "--timeout" && i + 1 < argc)
            timeout = std::max(1, std::atoi(argv[++i]));
        else if (a == "--keep")
            keep = true;
        else if (!a.empty() && a[0] == '-')
            return usage();
        else
            files.push_back(a);
    }
    if (php.empty() || files.empty())
        return usage();
    std::error_code ec;
    fs::path php_path = fs::absolute(php, ec);  // the test runs in another directory
    if (ec || access(php_path.c_str(), X_OK) != 0) {
        std::cerr << "phpt_runner: cannot run " << php << "\n";
        return 2;
    }
    bool all_ok = true;
    for (const std::string &f : files)
        all_ok = run_file(php_path.string(), f, timeout, keep) && all_ok;
    return all_ok ? 0 : 1;
}
