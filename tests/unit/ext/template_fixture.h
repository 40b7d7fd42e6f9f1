// Shared by the template tests: the module started inside one engine
// request, template files in a private directory, and short-hands for
// calling the PHP functions as a script would.
#ifndef BRISKO_TEMPLATE_FIXTURE_H
#define BRISKO_TEMPLATE_FIXTURE_H

#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "engine_testing.h"
#include "php_brisko.h"
#include "template/brisko_template.h"

struct tpl_fixture : ::testing::Test {
    zend::testing::request_scope request;
    std::string dir;
    std::vector<std::string> files;

    void SetUp() override
    {
        ASSERT_EQ(zend_startup_module(&php_brisko_module_entry), SUCCESS);
        brisko_template_check_tagname_f = 0;
        char tmpl[] = "/tmp/brisko_tpl_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override
    {
        brisko_template_check_tagname_f = 0;
        for (auto &f : files) unlink(f.c_str());
        rmdir(dir.c_str());
    }

    std::string write(const std::string &name, const std::string &text)
    {
        std::string path = dir + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        files.push_back(path);
        return path;
    }

    static zend::testing::call_result call(const char *fn, const std::vector<zval *> &args)
    {
        auto r = zend::testing::call_function(fn, args);
        EXPECT_TRUE(r.found) << fn;
        return r;
    }
    static zval *L(long v) { return zend::testing::make_long(v); }
    static zval *S(const std::string &s) { return zend::testing::make_string(s); }

    /* The id a load returned, 0 for the integer 0, -1 for anything else. */
    static long load(const std::string &path, const char *block = nullptr)
    {
        std::vector<zval *> args{S(path)};
        if (block) args.push_back(S(block));
        auto r = call("brisko_template_load", args);
        return r.value->type == IS_LONG ? r.value->value.lval : -1;
    }
    static long fetch(long id, const std::string &name, long index)
    {
        auto r = call("brisko_template_fetch", {L(id), S(name), L(index)});
        return r.value->type == IS_LONG ? r.value->value.lval : -1;
    }
    static bool assign(long id, const std::string &tag, const std::string &value)
    {
        auto r = call("brisko_template_assign", {L(id), S(tag), S(value)});
        return r.value->type == IS_BOOL && r.value->value.lval;
    }
    static std::string get(long id)
    {
        auto r = call("brisko_template_get", {L(id)});
        EXPECT_EQ(r.value->type, IS_STRING);
        return r.value->type == IS_STRING ? std::string(r.value->value.str.val, r.value->value.str.len) : "<null>";
    }
    static std::string warnings(const zend::testing::call_result &r)
    {
        std::string s;
        for (auto &e : r.errors) s += e.message + "\n";
        return s;
    }
    /* The rendering of a text parsed directly, and its pool released. */
    static std::string render_text(const std::string &text)
    {
        brisko_tpl *parsed = _brisko_template_parse(text.c_str(), nullptr);
        brisko_tpl *copy = _brisko_template_dup(parsed);
        _brisko_template_render(copy);
        std::string out(brisko_write_buf, brisko_write_buf_len);
        delete_bkpool(parsed->pool);
        return out;
    }
};

#endif
