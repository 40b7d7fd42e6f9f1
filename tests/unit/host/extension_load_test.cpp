// Loading php_brisko.so as a Zend extension: what start-up leaves behind,
// the request hooks, the information page, shut-down, the refusal of an
// object built for another API, and the end of the process after its
// 10,001st request. Each case runs in a child process, so the extension
// never stays loaded in the test runner itself.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine.h"
#include "engine_testing.h"

namespace {

// Runs body in a forked child. The child writes its failures (one per
// line) to a pipe; what it wrote and how it ended come back.
struct child_result {
    std::string report;
    int status = -1;
};

template <typename F> child_result in_child(F body)
{
    int fds[2];
    if (pipe(fds) != 0) return {"pipe failed", -1};
    fflush(nullptr);
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        std::string failures;
        int code = body(failures, fds[1]);
        if (!failures.empty()) (void)!write(fds[1], failures.data(), failures.size());
        _exit(code);
    }
    close(fds[1]);
    child_result r;
    char buf[4096];
    ssize_t n;
    while ((n = read(fds[0], buf, sizeof buf)) > 0) r.report.append(buf, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    r.status = status;
    return r;
}

#define CHILD_CHECK(cond)                                                                                   \
    do {                                                                                                   \
        if (!(cond)) failures += std::string("failed: ") + #cond + " (line " + std::to_string(__LINE__) + ")\n"; \
    } while (0)

template <typename T> T *symbol(void *handle, const char *name)
{
    return reinterpret_cast<T *>(dlsym(handle, name));
}

int load_extension(std::string &failures)
{
    std::string error;
    if (!zend::engine_startup()) {
        failures += "engine_startup failed\n";
        return 1;
    }
    if (!zend::load_zend_extension(BRISKO_EXTENSION_PATH, error)) {
        failures += "load failed: " + error + "\n";
        return 1;
    }
    return 0;
}

} // namespace

// Loaded as the engine loads it: the hook is installed, the module and its
// functions are registered, the information page has its row; shut-down
// puts the engine's hook back. (The process state start-up creates is
// checked by the extension's own tests, which link its routines.)
TEST(ExtensionLoad, StartUpRegistersTheModuleAndInstallsTheHook)
{
    auto r = in_child([](std::string &failures, int) {
        auto *engine_hook = zend_compile_file;
        if (load_extension(failures)) return 1;
        CHILD_CHECK(zend_compile_file != engine_hook);
        void *h = dlopen(BRISKO_EXTENSION_PATH, RTLD_NOW | RTLD_NOLOAD);
        CHILD_CHECK(h != nullptr);
        if (!h) return 1;
        CHILD_CHECK(dlsym(h, "get_module") == nullptr);

        zend::request_startup();
        auto info = zend::testing::call_function("phpinfo", {});
        size_t first = info.output.find("PHP Brisko Version");
        CHILD_CHECK(first != std::string::npos);
        CHILD_CHECK(info.output.find("PHP Brisko Version => 1.02\n") == first);
        CHILD_CHECK(info.output.find("PHP Brisko Version", first + 1) == std::string::npos);
        size_t section = info.output.find("\nPHP Brisko\n\n");
        CHILD_CHECK(section != std::string::npos);
        if (section != std::string::npos) {
            std::string rest = info.output.substr(section + 13);
            size_t end = rest.find("\n\n");
            std::string body = rest.substr(0, end);
            size_t rows = 0;
            for (size_t i = 0; (i = body.find(" => ", i)) != std::string::npos; i++) rows++;
            CHILD_CHECK(rows == 1);
        }
        for (const char *fn : {"brisko_template_fetch", "brisko_template_check_tagname", "brisko_heap_set",
                               "brisko_heap_get", "brisko_heap_get_index"})
            CHILD_CHECK(zend::testing::call_function(fn, {}).found);
        zend::request_shutdown();

        zend::engine_shutdown();
        CHILD_CHECK(zend_compile_file == engine_hook);
        return 0;
    });
    EXPECT_EQ(r.report, "");
    ASSERT_TRUE(WIFEXITED(r.status));
    EXPECT_EQ(WEXITSTATUS(r.status), 0);
}

TEST(ExtensionLoad, ObjectForAnotherApiIsRefused)
{
    auto r = in_child([](std::string &failures, int) {
        CHILD_CHECK(zend::engine_startup());
        std::string error;
        CHILD_CHECK(!zend::load_zend_extension(BRISKO_BAD_API_EXTENSION_PATH, error));
        CHILD_CHECK(!error.empty());
        CHILD_CHECK(error.find("bad_api_ext") != std::string::npos);
        CHILD_CHECK(error.find("20020429") != std::string::npos || error.find("API") != std::string::npos);
        if (!failures.empty()) failures += "message was: " + error + "\n";
        zend::engine_shutdown();
        return 0;
    });
    EXPECT_EQ(r.report, "");
    ASSERT_TRUE(WIFEXITED(r.status));
    EXPECT_EQ(WEXITSTATUS(r.status), 0);
}

TEST(ExtensionLoad, ProcessEndsAtTheEndOfIts10001stRequest)
{
    auto r = in_child([](std::string &failures, int out) {
        if (load_extension(failures)) return 1;
        zend::set_output_sink([](const char *, std::size_t) {});
        for (int i = 0; i < 10000; i++) {
            zend::request_startup();
            zend::request_shutdown();
        }
        const char alive[] = "alive after 10000\n";
        (void)!write(out, alive, sizeof alive - 1);
        zend::request_startup();
        const char started[] = "10001st started\n";
        (void)!write(out, started, sizeof started - 1);
        zend::request_shutdown();
        failures += "still running after the 10001st request\n";
        return 3;
    });
    EXPECT_EQ(r.report, "alive after 10000\n10001st started\n");
    ASSERT_TRUE(WIFEXITED(r.status));
    EXPECT_EQ(WEXITSTATUS(r.status), 0);
}

namespace {
std::vector<std::string> core_warnings;
void collect_core_warning(int type, const char *message)
{
    if (type == E_CORE_WARNING) core_warnings.push_back(message);
}
} // namespace

TEST(ExtensionLoad, StartUpWithoutRoomForTheRequestHeapFailsCleanly)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "an address-space limit cannot be combined with the sanitizer's shadow memory";
#else
    auto r = in_child([](std::string &failures, int) {
        CHILD_CHECK(zend::engine_startup());
        zend::set_error_observer(collect_core_warning);
        auto *engine_hook = zend_compile_file;
        // Room for ordinary allocations, none for the request heap's reservation.
        long pages = 0;
        FILE *f = std::fopen("/proc/self/statm", "r");
        if (f) {
            if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
            std::fclose(f);
        }
        struct rlimit limit;
        limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + (256u << 20);
        CHILD_CHECK(setrlimit(RLIMIT_AS, &limit) == 0);
        std::string error;
        bool loaded = zend::load_zend_extension(BRISKO_EXTENSION_PATH, error);
        CHILD_CHECK(!loaded);
        // The module's own report comes first; the engine adds its own after it.
        CHILD_CHECK(!core_warnings.empty());
        if (!core_warnings.empty()) {
            CHILD_CHECK(core_warnings[0].rfind("PHP Brisko: ", 0) == 0);
            CHILD_CHECK(core_warnings[0].find("request heap") != std::string::npos);
        }
        CHILD_CHECK(zend_compile_file == engine_hook);
        return 0;
    });
    EXPECT_EQ(r.report, "");
    ASSERT_TRUE(WIFEXITED(r.status));
    EXPECT_EQ(WEXITSTATUS(r.status), 0);
#endif
}

TEST(ExtensionLoad, RecordsCarryTheirFixedValues)
{
    auto r = in_child([](std::string &failures, int) {
        if (load_extension(failures)) return 1;
        void *h = dlopen(BRISKO_EXTENSION_PATH, RTLD_NOW | RTLD_NOLOAD);
        CHILD_CHECK(h != nullptr);
        if (!h) return 1;
        auto *version = symbol<zend_extension_version_info>(h, "extension_version_info");
        CHILD_CHECK(version->zend_extension_api_no == 20010710);
        CHILD_CHECK(std::strcmp(version->required_zend_version, "1.1.0a") == 0);
        CHILD_CHECK(version->thread_safe == 0 && version->debug == 0);

        auto *ext = symbol<zend_extension>(h, "zend_extension_entry");
        CHILD_CHECK(std::strcmp(ext->name, "PHP Brisko") == 0);
        CHILD_CHECK(std::strcmp(ext->version, "1.02") == 0);
        CHILD_CHECK(ext->startup != nullptr);
        CHILD_CHECK(ext->shutdown == nullptr && ext->activate == nullptr && ext->deactivate == nullptr);
        CHILD_CHECK(ext->message_handler == nullptr && ext->op_array_handler == nullptr);
        CHILD_CHECK(ext->statement_handler == nullptr && ext->fcall_begin_handler == nullptr);
        CHILD_CHECK(ext->fcall_end_handler == nullptr && ext->op_array_ctor == nullptr);
        CHILD_CHECK(ext->op_array_dtor == nullptr && ext->api_no_check == nullptr);
        CHILD_CHECK(ext->reserved2 == nullptr && ext->reserved8 == nullptr);

        // The module as the engine registered it.
        zend_module_entry *module = nullptr;
        for (zend_module_entry *m : zend::modules())
            if (m->name && std::strcmp(m->name, "PHP Brisko") == 0) module = m;
        CHILD_CHECK(module != nullptr);
        if (!module) return 1;
        CHILD_CHECK(module->size == sizeof(zend_module_entry));
        CHILD_CHECK(module->zend_api == 20010901);
        CHILD_CHECK(module->zend_debug == 0 && module->zts == 0);
        CHILD_CHECK(std::strcmp(module->version, "1.02") == 0);
        CHILD_CHECK(module->module_startup_func && module->module_shutdown_func && module->request_startup_func &&
                    module->request_shutdown_func && module->info_func);
        CHILD_CHECK(module->global_startup_func == nullptr && module->global_shutdown_func == nullptr);

        static const char *const names[] = {
            "brisko_template_fetch", "brisko_template_get", "brisko_template_print", "brisko_template_assign",
            "brisko_template_assign_array", "brisko_template_fetch_assign", "brisko_template_fetch_assign_array",
            "brisko_template_attach", "brisko_template_load", "brisko_template_check_tagname", "brisko_heap_set",
            "brisko_heap_get", "brisko_heap_get_index"};
        zend_function_entry *fe = module->functions;
        for (const char *name : names) {
            CHILD_CHECK(fe->fname != nullptr && std::strcmp(fe->fname, name) == 0);
            CHILD_CHECK(fe->handler != nullptr);
            CHILD_CHECK(fe->func_arg_types == nullptr);
            if (!failures.empty()) break;
            fe++;
        }
        CHILD_CHECK(fe->fname == nullptr && fe->handler == nullptr && fe->func_arg_types == nullptr);
        return 0;
    });
    EXPECT_EQ(r.report, "");
    ASSERT_TRUE(WIFEXITED(r.status));
    EXPECT_EQ(WEXITSTATUS(r.status), 0);
}

// The names a shared object exports, demangled, one per entry; the
// sanitizer's own (__odr_asan, one for each exported object) left out.
std::vector<std::string> exported_names(const char *path)
{
    std::vector<std::string> names;
    std::string command = std::string("nm -DC --defined-only --format=just-symbols '") + path + "' 2>/dev/null";
    FILE *nm = popen(command.c_str(), "r");
    if (!nm) return names;
    char line[4096];
    while (std::fgets(line, sizeof line, nm)) {
        std::string name(line);
        name.erase(name.find_last_not_of("\n") + 1);
        if (name.empty() || name.rfind("__odr_asan", 0) == 0) continue;
        names.push_back(name);
    }
    if (pclose(nm) != 0) names.clear();
    return names;
}

// The engine loads extensions with global visibility: the object must
// export only the two records the engine looks up, so that no other
// module's symbol can take the place of one of its routines.
TEST(ExtensionLoad, ExportsOnlyTheTwoRecords)
{
    std::vector<std::string> names = exported_names(BRISKO_EXTENSION_PATH);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"extension_version_info", "zend_extension_entry"}));
}

// The testing facility is linked into the test programs only: the engine
// library, which every loaded extension resolves against, carries none of it.
TEST(ExtensionLoad, EngineLibraryExportsNoTestingSymbols)
{
    std::vector<std::string> names = exported_names(BRISKO_ENGINE_LIBRARY_PATH);
    ASSERT_NE(std::find(names.begin(), names.end(), "zend_hash_find"), names.end());
    std::vector<std::string> testing;
    for (const std::string &name : names)
        if (name.find("zend::testing::") != std::string::npos) testing.push_back(name);
    EXPECT_EQ(testing, std::vector<std::string>{});
}
