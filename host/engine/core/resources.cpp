/* The request's resource list. Entries live in an ordered map keyed by id,
 * so a request that opens and closes many handles keeps only the live ones;
 * the next id only grows. The type table is the engine's and survives
 * requests; it holds names and destructors only, no request pointers. */
#include <map>
#include <string>
#include <vector>

#include "core/resources.h"
#include "engine.h"

namespace zend {
namespace {

struct resource_type {
    std::string name;
    resource_dtor dtor;
};

struct entry {
    void *handle;
    int type;
    long refcount;
};

std::vector<resource_type> &types()
{
    static std::vector<resource_type> list;
    return list;
}

std::map<long, entry> live;
long next_id = 1;

void destroy(void *handle, int type)
{
    if (type >= 1 && static_cast<std::size_t>(type) <= types().size() && types()[type - 1].dtor)
        types()[type - 1].dtor(handle);
}

} // namespace

int register_resource_type(const char *name, resource_dtor dtor)
{
    for (std::size_t i = 0; i < types().size(); i++)
        if (types()[i].name == name)
            return static_cast<int>(i + 1);
    types().push_back({name, dtor});
    return static_cast<int>(types().size());
}

long resource_insert(void *handle, int type)
{
    long id = next_id++;
    live[id] = entry{handle, type, 1};
    return id;
}

void *resource_find(long id, int *type)
{
    auto it = live.find(id);
    if (it == live.end())
        return nullptr;
    if (type)
        *type = it->second.type;
    return it->second.handle;
}

const char *resource_type_name(long id)
{
    auto it = live.find(id);
    if (it == live.end())
        return nullptr;
    int type = it->second.type;
    if (type < 1 || static_cast<std::size_t>(type) > types().size())
        return "Unknown";
    return types()[type - 1].name.c_str();
}

void resource_addref(long id)
{
    auto it = live.find(id);
    if (it != live.end())
        it->second.refcount++;
}

void resource_delete(long id)
{
    auto it = live.find(id);
    if (it == live.end() || --it->second.refcount > 0)
        return;
    entry e = it->second;
    live.erase(it); /* gone before its destructor runs */
    destroy(e.handle, e.type);
}

bool resource_close(long id)
{
    auto it = live.find(id);
    if (it == live.end())
        return false;
    entry e = it->second;
    live.erase(it);
    destroy(e.handle, e.type);
    return true;
}

void *fetch_resource(const zval *value, int type, const char *type_name)
{
    const char *function = get_active_function_name();
    if (!value || value->type != IS_RESOURCE) {
        zend_error(E_WARNING, "%s(): supplied argument is not a valid %s resource", function, type_name);
        return nullptr;
    }
    int actual = 0;
    void *handle = resource_find(value->value.lval, &actual);
    if (!handle) {
        zend_error(E_WARNING, "%s(): %ld is not a valid %s resource", function, value->value.lval, type_name);
        return nullptr;
    }
    if (actual != type) {
        zend_error(E_WARNING, "%s(): supplied resource is not a valid %s resource", function, type_name);
        return nullptr;
    }
    return handle;
}

void destroy_request_resources()
{
    while (!live.empty()) {
        auto last = std::prev(live.end());
        entry e = last->second;
        live.erase(last);
        destroy(e.handle, e.type);
    }
    next_id = 1;
}

std::size_t live_resource_count()
{
    return live.size();
}

} // namespace zend
