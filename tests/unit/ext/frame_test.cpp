// The extension's frame with its routines linked in: what start-up makes,
// what request start does, and that the records point at the routines of
// their names.
#include <gtest/gtest.h>

#include <cstring>

#include "php_brisko.h"
#include "brisko_alloc.h"
#include "brisko_tpl.h"
#include "cache/cache.h"
#include "engine.h"

extern "C" {
extern zend_extension zend_extension_entry;
}

namespace {

bool in_frees_list(const bkpool *pool, const void *p)
{
    for (const bkpool_block *b = pool->frees; b; b = b->link) {
        void *const *slots = reinterpret_cast<void *const *>(b + 1);
        for (unsigned i = 0; i < b->count; i++)
            if (slots[i] == p) return true;
    }
    return false;
}

void discard(const char *, std::size_t) {}

} // namespace

TEST(Frame, StartUpCreatesProcessStateAndInstallsTheHook)
{
    zend::set_output_sink(discard);
    ASSERT_TRUE(zend::engine_startup());
    auto *engine_hook = zend_compile_file;
    ASSERT_EQ(php_brisko_startup(nullptr), SUCCESS);

    ASSERT_NE(bkpool_global, nullptr);
    EXPECT_EQ(bkpool_global->parent, nullptr);
    for (HashTable *ht : {brisko_heaptable, brisko_filetable, brisko_templatetable}) {
        ASSERT_NE(ht, nullptr);
        EXPECT_EQ(ht->nTableSize, 128u);
        EXPECT_EQ(ht->persistent, 1);
        EXPECT_EQ(ht->pDestructor, nullptr);
        EXPECT_EQ(ht->nNumOfElements, 0u);
        EXPECT_TRUE(in_frees_list(bkpool_global, ht));
    }
    EXPECT_NE(brisko_write_buf, nullptr);
    EXPECT_EQ(brisko_write_buf_alloc, 300000);
    EXPECT_EQ(brisko_write_buf_len, 0);
    ASSERT_NE(brisko_heap_strage_ini, nullptr);
    EXPECT_EQ(brisko_heap_strage, brisko_heap_strage_ini);
    EXPECT_EQ(bk_req_count, 0);
    EXPECT_EQ(zend_compile_file, php_brisko_compile_file);
    EXPECT_EQ(brisko_org_compile_file, engine_hook);

    // A request start counts and empties the request heap.
    brisko_heap_strage += 64;
    zend::request_startup();
    EXPECT_EQ(bk_req_count, 1);
    EXPECT_EQ(brisko_heap_strage, brisko_heap_strage_ini);
    zend::request_shutdown();

    zend::engine_shutdown();
    EXPECT_EQ(zend_compile_file, engine_hook);
}

TEST(Frame, RecordsNameTheirRoutines)
{
    EXPECT_EQ(zend_extension_entry.startup, php_brisko_startup);
    const zend_module_entry &m = php_brisko_module_entry;
    EXPECT_EQ(m.functions, php_brisko_functions);
    EXPECT_EQ(m.module_startup_func, zm_startup_php_brisko);
    EXPECT_EQ(m.module_shutdown_func, zm_shutdown_php_brisko);
    EXPECT_EQ(m.request_startup_func, zm_activate_php_brisko);
    EXPECT_EQ(m.request_shutdown_func, zm_deactivate_php_brisko);
    EXPECT_EQ(m.info_func, zm_info_php_brisko);
    EXPECT_EQ(m.globals_id, 0);
    EXPECT_EQ(m.handle, nullptr);

    using handler = void (*)(INTERNAL_FUNCTION_PARAMETERS);
    const handler handlers[] = {
        zif_brisko_template_fetch,       zif_brisko_template_get,          zif_brisko_template_print,
        zif_brisko_template_assign,      zif_brisko_template_assign_array, zif_brisko_template_fetch_assign,
        zif_brisko_template_fetch_assign_array, zif_brisko_template_attach, zif_brisko_template_load,
        zif_brisko_template_check_tagname, zif_brisko_heap_set,           zif_brisko_heap_get,
        zif_brisko_heap_get_index};
    int i = 0;
    for (handler h : handlers) {
        EXPECT_EQ(php_brisko_functions[i].handler, h) << php_brisko_functions[i].fname;
        i++;
    }
    EXPECT_EQ(php_brisko_functions[i].fname, nullptr);
}
