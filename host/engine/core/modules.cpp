/* Modules and Zend extensions.
 *
 * A module registers its functions as internal functions under their
 * lower-cased names and then starts; its request hooks run at every
 * request. A Zend extension is a shared object found by two record names;
 * its record is copied into a list the engine owns, and its start-up
 * usually starts a module of its own.
 *
 * Shared objects stay loaded until the process ends, also across an engine
 * shut-down: what they allocated for the process stays reachable through
 * their globals, and loading the same object again finds it in place. */
#include <dlfcn.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>

#include "core/modules.h"
#include "engine.h"

namespace zend {
namespace {

std::vector<zend_module_entry *> registry;
std::vector<zend_extension *> extension_list;
std::vector<std::unique_ptr<zend_extension>> extension_records;

std::string lower(const char *s) {
    std::string r(s);
    std::transform(r.begin(), r.end(), r.begin(), [](unsigned char c) { return (char)std::tolower(c); });
    return r;
}

void register_functions(zend_module_entry *module) {
    if (!module->functions) return;
    for (zend_function_entry *entry = module->functions; entry->fname; entry++) {
        zend_function function{};
        function.internal_function.type = ZEND_INTERNAL_FUNCTION;
        function.internal_function.arg_types = entry->func_arg_types;
        function.internal_function.function_name = const_cast<char *>(entry->fname);
        function.internal_function.handler = entry->handler;
        std::string key = lower(entry->fname);
        if (zend_hash_add(CG(function_table), key.c_str(), (uint)key.size() + 1, &function, sizeof(zend_function),
                          nullptr) == FAILURE) {
            zend_error(E_CORE_WARNING, "Function registration failed - duplicate name - %s", entry->fname);
        }
    }
}

} // namespace

const std::vector<zend_module_entry *> &modules() { return registry; }
const std::vector<zend_extension *> &zend_extensions() { return extension_list; }

bool load_zend_extension(const std::string &path, std::string &error) {
    void *handle = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (!handle) {
        const char *reason = dlerror();
        error = "Failed loading " + path + ": " + (reason ? reason : "unknown error");
        return false;
    }
    auto *info = static_cast<zend_extension_version_info *>(dlsym(handle, "extension_version_info"));
    if (!info) {
        error = path + ": no extension_version_info symbol: not a Zend extension";
        return false;
    }
    if (info->zend_extension_api_no != ZEND_EXTENSION_API_NO) {
        error = path + ": Zend extension API number " + std::to_string(info->zend_extension_api_no) +
                " is not supported; this engine takes " + std::to_string(ZEND_EXTENSION_API_NO);
        return false;
    }
    auto *entry = static_cast<zend_extension *>(dlsym(handle, "zend_extension_entry"));
    if (!entry) {
        error = path + ": no zend_extension_entry symbol: not a Zend extension";
        return false;
    }
    auto record = std::make_unique<zend_extension>(*entry);
    record->handle = handle;
    record->resource_number = (int)extension_list.size();
    zend_extension *extension = record.get();
    extension_records.push_back(std::move(record));
    extension_list.push_back(extension);
    if (extension->startup) {
        int result;
        try {
            result = extension->startup(extension);
        } catch (const bailout &) {
            result = FAILURE;
        }
        if (result != SUCCESS) {
            extension_list.pop_back();
            error = path + ": the start-up of Zend extension " + (extension->name ? extension->name : "(unnamed)") +
                    " failed";
            return false;
        }
    }
    return true;
}

void shutdown_modules_and_extensions() {
    for (auto it = registry.rbegin(); it != registry.rend(); ++it) {
        zend_module_entry *module = *it;
        if (module->module_started && module->module_shutdown_func) {
            try {
                module->module_shutdown_func(MODULE_PERSISTENT, module->module_number);
            } catch (const bailout &) {
            }
        }
        module->module_started = 0;
    }
    registry.clear();
    for (auto it = extension_list.rbegin(); it != extension_list.rend(); ++it) {
        if ((*it)->shutdown) {
            try {
                (*it)->shutdown(*it);
            } catch (const bailout &) {
            }
        }
    }
    extension_list.clear();
    extension_records.clear();
}

} // namespace zend

extern "C" ZEND_API int zend_startup_module(zend_module_entry *module) {
    using namespace zend;
    if (!module) return FAILURE;
    const char *name = module->name ? module->name : "(unnamed)";
    if (module->zend_api != ZEND_MODULE_API_NO) {
        zend_error(E_CORE_WARNING,
                   "%s: Unable to initialize module\nModule compiled with module API=%u\n"
                   "PHP    compiled with module API=%d\nThese options need to match",
                   name, module->zend_api, ZEND_MODULE_API_NO);
        return FAILURE;
    }
    if (!CG(function_table)) {
        zend_error(E_CORE_WARNING, "%s: the engine has not started", name);
        return FAILURE;
    }
    if (std::find(registry.begin(), registry.end(), module) != registry.end()) {
        zend_error(E_CORE_WARNING, "Module '%s' already loaded", name);
        return FAILURE;
    }
    module->module_number = (int)registry.size() + 1;
    module->type = MODULE_PERSISTENT;
    register_functions(module);
    registry.push_back(module);
    if (module->module_startup_func) {
        int result;
        try {
            result = module->module_startup_func(MODULE_PERSISTENT, module->module_number);
        } catch (const bailout &) {
            result = FAILURE;
        }
        if (result == FAILURE) {
            zend_error(E_CORE_WARNING, "Unable to start %s module", name);
            return FAILURE;
        }
    }
    module->module_started = 1;
    return SUCCESS;
}
