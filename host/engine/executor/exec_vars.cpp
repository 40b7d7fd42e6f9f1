/* Variables: fetch chains, assignment, references, increments, isset and
 * unset, array building, global and static bindings, foreach.
 *
 * PHP 4 value semantics: a value is shared by counting until someone
 * writes; a write fetch separates a shared value that is not a reference
 * (copy on write), so assignment copies arrays and objects alike. A
 * reference is one zval with is_ref set that several slots point to. */
#include <climits>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/operators.h"
#include "executor/executor.h"

namespace zend::exec {

namespace {

struct hash_key {
    bool is_string = false;
    const char *str = nullptr;
    uint length = 0; /* with the terminating NUL */
    ulong index = 0;
};

bool make_key(const zval *key, hash_key &k) {
    switch (key->type) {
    case IS_LONG:
    case IS_BOOL:
    case IS_RESOURCE: k.index = (ulong)key->value.lval; return true;
    case IS_DOUBLE: k.index = (ulong)double_to_long(key->value.dval); return true;
    case IS_STRING:
    case IS_CONSTANT:
        k.is_string = true;
        k.str = key->value.str.val;
        k.length = (uint)key->value.str.len + 1;
        return true;
    case IS_NULL:
        k.is_string = true;
        k.str = "";
        k.length = 1;
        return true;
    default: zend_error(E_WARNING, "Illegal offset type"); return false;
    }
}

int effective_mode(frame &f, ulong ext) {
    int mode = fetch_ext_mode(ext);
    if (mode != FETCH_FUNC_ARG) return mode;
    pending_call *p = top_call(f);
    return p && p->callable && argument_by_reference(&p->function, fetch_ext_arg(ext)) ? FETCH_W : FETCH_R;
}

/* The value of a temporary without creating one: null when an isset
 * fetch found nothing. */
zval *peek(frame &f, const znode &n) {
    if (n.op_type == IS_CONST) return const_cast<zval *>(&n.u.constant);
    if ((n.op_type != IS_TMP_VAR && n.op_type != IS_VAR) || n.u.var >= f.temp_count) return nullptr;
    temp_var &t = f.temps[n.u.var];
    if (t.value) return t.value;
    if (t.location) return *t.location;
    return nullptr;
}

zval **location_of(frame &f, const znode &n) {
    if ((n.op_type != IS_TMP_VAR && n.op_type != IS_VAR) || n.u.var >= f.temp_count) return nullptr;
    return f.temps[n.u.var].location;
}

void set_location(frame &f, const zend_op *op, zval **location) { result_temp(f, op).location = location; }

void set_counted(frame &f, const zend_op *op, zval *value) { set_result(f, op, share(value)); }

/* Null, "" and false turn into an empty array or object when written as
 * one. A shared value is replaced rather than changed. */
/* The table of an array or object; null for any other value. */
HashTable *table_of(const zval *z) {
    if (z->type == IS_ARRAY || z->type == IS_CONSTANT_ARRAY) return z->value.ht;
    if (z->type == IS_OBJECT) return z->value.obj.properties;
    return nullptr;
}

/* A new array (or object) holding the same elements as z: a table of
 * its own even when z's table is the global symbol table. */
zval *snapshot_of(const zval *z) {
    HashTable *from = table_of(z);
    HashTable *copy;
    ALLOC_HASHTABLE(copy);
    zend_hash_init(copy, from ? from->nNumOfElements : 0, nullptr, (dtor_func_t)_zval_ptr_dtor, 0);
    zval *tmp;
    if (from) zend_hash_copy(copy, from, (copy_ctor_func_t)zval_add_ref, &tmp, sizeof(zval *));
    zval *r = new_value();
    r->type = z->type;
    if (z->type == IS_OBJECT) {
        r->value.obj.ce = z->value.obj.ce;
        r->value.obj.properties = copy;
    } else {
        r->value.ht = copy;
    }
    return r;
}

/* The element of ht under the key of element b (of another table). */
Bucket *bucket_with_key_of(HashTable *ht, const Bucket *b) {
    if (!ht->arBuckets || !b) return nullptr;
    for (Bucket *p = ht->arBuckets[b->h & ht->nTableMask]; p; p = p->pNext)
        if (p->h == b->h && p->nKeyLength == b->nKeyLength &&
            (b->nKeyLength == 0 || std::memcmp(p->arKey, b->arKey, b->nKeyLength) == 0))
            return p;
    return nullptr;
}

bool is_empty_container(const zval *z) {
    return z->type == IS_NULL || (z->type == IS_STRING && z->value.str.len == 0) ||
           (z->type == IS_BOOL && !z->value.lval);
}

void reset_container(zval **location) {
    zval *z = *location;
    if (!z->is_ref && z->refcount > 1) {
        z->refcount--;
        *location = new_value();
    } else {
        zval_dtor(z);
        z->type = IS_NULL;
    }
}

void fetch_dim_read(frame &f, const zend_op *op, bool quiet) {
    zval *container = peek(f, op->op1);
    zval *key = read(f, op->op2);
    zval *found = nullptr;
    zval made; /* a value of the result's own */
    made.type = IS_NULL;
    made.value.lval = 0;
    bool have = !quiet;
    bool is_array = container && (container->type == IS_ARRAY || container->type == IS_CONSTANT_ARRAY);
    if (!is_array && (op->extended_value & FETCH_ARRAY_ONLY)) {
        have = true;
    } else if (is_array) {
        hash_key k;
        zval **slot;
        if (op->op2.op_type == IS_UNUSED) {
            zend_error(E_ERROR, "Cannot use [] for reading");
        } else if (make_key(key, k)) {
            int r = k.is_string ? zend_hash_find(container->value.ht, k.str, k.length, (void **)&slot)
                                : zend_hash_index_find(container->value.ht, k.index, (void **)&slot);
            if (r == SUCCESS) found = *slot;
            else if (!quiet && k.is_string) zend_error(E_NOTICE, "Undefined index:  %s", k.str);
            else if (!quiet) zend_error(E_NOTICE, "Undefined offset:  %ld", (long)k.index);
        }
    } else if (container && container->type == IS_STRING && op->op2.op_type != IS_UNUSED) {
        long offset = zval_get_long(key);
        if (offset >= 0 && offset < container->value.str.len) {
            made.type = IS_STRING;
            made.value.str.val = estrndup(container->value.str.val + offset, 1);
            made.value.str.len = 1;
            have = true;
        } else if (!quiet) {
            /* past either end: an empty string, as the engine has always read it */
            zend_error(E_NOTICE, "Uninitialized string offset:  %ld", offset);
            made.type = IS_STRING;
            made.value.str.val = empty_string;
            made.value.str.len = 0;
        }
    }
    if (found) found = share(found);
    release(f, op->op2);
    if (!(op->extended_value & FETCH_KEEP_CONTAINER)) release(f, op->op1);
    if (found) set_result(f, op, found);
    else if (have) set_result_value(f, op, made);
    else result_temp(f, op);
}

/* $s[i] = v: a string offset is only a target when the op right after
 * the fetch assigns to it; any other use of it is refused. */
bool assigned_right_after(const frame &f, const zend_op *op) {
    if (op->op2.op_type == IS_UNUSED || fetch_ext_mode(op->extended_value) != FETCH_W) return false;
    if (f.pc >= f.op_array->last) return false;
    const zend_op &next = f.ops[f.pc];
    return next.opcode == ZEND_ASSIGN && next.op1.op_type == op->result.op_type && next.op1.u.var == op->result.u.var;
}

void assign_string_offset(frame &f, const zend_op *op, temp_var &t) {
    zval *value = take(f, op->op2);
    zval **location = t.location;
    long offset = t.string_offset;
    release_temp(t);
    zval *s = location ? *location : nullptr;
    std::string text = value->type == IS_STRING ? std::string(value->value.str.val, (std::size_t)value->value.str.len)
                                                : zval_to_string(value);
    if (s && s->type == IS_STRING && !text.empty()) {
        if (offset >= s->value.str.len) {
            int length = (int)offset + 1;
            char *grown = (char *)emalloc((std::size_t)length + 1);
            std::memcpy(grown, s->value.str.val, (std::size_t)s->value.str.len);
            std::memset(grown + s->value.str.len, ' ', (std::size_t)(length - s->value.str.len));
            grown[length] = '\0';
            zval_dtor(s);
            s->type = IS_STRING;
            s->value.str.val = grown;
            s->value.str.len = length;
        }
        s->value.str.val[offset] = text[0];
    }
    if (op->result.op_type != IS_UNUSED) set_result(f, op, value);
    else zval_ptr_dtor(&value);
}

void fetch_dim_write(frame &f, const zend_op *op, int mode) {
    zval **location = location_of(f, op->op1);
    zval *key = read(f, op->op2);
    if (!location) {
        if (mode == FETCH_UNSET) result_temp(f, op);
        else {
            zend_error(E_WARNING, "Cannot use a temporary value as an array");
            fetch_failed_location(f, op);
        }
        release(f, op->op2);
        release(f, op->op1);
        return;
    }
    if (mode != FETCH_UNSET && is_empty_container(*location)) {
        reset_container(location);
        array_init(*location);
    }
    zval *container = *location;
    if (container->type == IS_ARRAY) {
        separate(location);
        container = *location;
        HashTable *ht = container->value.ht;
        zval **slot = nullptr;
        if (op->op2.op_type == IS_UNUSED) {
            zval *fresh = new_value();
            if (zend_hash_next_index_insert(ht, &fresh, sizeof(zval *), (void **)&slot) == SUCCESS) {
                set_location(f, op, slot);
            } else {
                zval_ptr_dtor(&fresh);
                zend_error(E_WARNING, "Cannot add element to the array as the next element is already occupied");
                fetch_failed_location(f, op);
            }
        } else {
            hash_key k;
            if (!make_key(key, k)) {
                fetch_failed_location(f, op);
            } else {
                int r = k.is_string ? zend_hash_find(ht, k.str, k.length, (void **)&slot)
                                    : zend_hash_index_find(ht, k.index, (void **)&slot);
                if (r == SUCCESS) {
                    set_location(f, op, slot);
                } else if (mode == FETCH_UNSET) {
                    result_temp(f, op);
                } else {
                    if (mode == FETCH_RW) {
                        if (k.is_string) zend_error(E_NOTICE, "Undefined index:  %s", k.str);
                        else zend_error(E_NOTICE, "Undefined offset:  %ld", (long)k.index);
                    }
                    zval *fresh = new_value();
                    if (k.is_string) zend_hash_update(ht, k.str, k.length, &fresh, sizeof(zval *), (void **)&slot);
                    else zend_hash_index_update(ht, k.index, &fresh, sizeof(zval *), (void **)&slot);
                    set_location(f, op, slot);
                }
            }
        }
    } else if (mode == FETCH_UNSET) {
        result_temp(f, op);
    } else if (container->type == IS_STRING && op->op2.op_type == IS_UNUSED) {
        zend_error(E_ERROR, "[] operator not supported for strings");
        fetch_failed_location(f, op);
    } else if (container->type == IS_STRING && assigned_right_after(f, op)) {
        long offset = zval_get_long(key);
        if (offset < 0 || offset >= INT_MAX - 1) {
            zend_error(E_WARNING, "Illegal string offset:  %ld", offset);
            fetch_failed_location(f, op);
        } else {
            separate(location);
            temp_var &t = result_temp(f, op);
            t.location = location;
            t.string_offset = offset;
        }
    } else if (container->type == IS_STRING) {
        zend_error(E_WARNING, "Cannot use string offset as an array");
        fetch_failed_location(f, op);
    } else if (container->type == IS_OBJECT) {
        zend_error(E_WARNING, "Cannot use object as array");
        fetch_failed_location(f, op);
    } else {
        zend_error(E_WARNING, "Cannot use a scalar value as an array");
        fetch_failed_location(f, op);
    }
    release(f, op->op2);
    release(f, op->op1);
}

std::string property_name(zval *name) {
    if (name->type == IS_STRING) return std::string(name->value.str.val, (std::size_t)name->value.str.len);
    return zval_to_string(name);
}

void fetch_obj_read(frame &f, const zend_op *op, bool quiet) {
    zval *container = peek(f, op->op1);
    std::string name = property_name(read(f, op->op2));
    zval *made = nullptr;
    if (container && container->type == IS_OBJECT) {
        zval **slot;
        if (zend_hash_find(container->value.obj.properties, name.c_str(), (uint)name.size() + 1, (void **)&slot) ==
            SUCCESS) {
            made = share(*slot);
        } else if (!quiet) {
            zend_error(E_NOTICE, "Undefined property:  %s", name.c_str());
        }
    } else if (!quiet) {
        zend_error(E_NOTICE, "Trying to get property of non-object");
    }
    if (!made && !quiet) made = new_value();
    release(f, op->op2);
    release(f, op->op1);
    if (made) set_result(f, op, made);
    else result_temp(f, op);
}

void fetch_obj_write(frame &f, const zend_op *op, int mode) {
    zval **location = location_of(f, op->op1);
    std::string name = property_name(read(f, op->op2));
    release(f, op->op2);
    release(f, op->op1);
    if (!location) {
        if (mode == FETCH_UNSET) result_temp(f, op);
        else {
            zend_error(E_WARNING, "Cannot use a temporary value as an object");
            fetch_failed_location(f, op);
        }
        return;
    }
    if (mode != FETCH_UNSET && is_empty_container(*location)) {
        reset_container(location);
        object_init(*location, standard_class());
    }
    if ((*location)->type != IS_OBJECT) {
        if (mode == FETCH_UNSET) {
            result_temp(f, op);
            return;
        }
        zend_error(E_WARNING, "Cannot use a scalar value as an object");
        fetch_failed_location(f, op);
        return;
    }
    separate(location);
    HashTable *props = (*location)->value.obj.properties;
    zval **slot;
    if (zend_hash_find(props, name.c_str(), (uint)name.size() + 1, (void **)&slot) == SUCCESS) {
        set_location(f, op, slot);
    } else if (mode == FETCH_UNSET) {
        result_temp(f, op);
    } else {
        if (mode == FETCH_RW) zend_error(E_NOTICE, "Undefined property:  %s", name.c_str());
        zval *fresh = new_value();
        zend_hash_update(props, name.c_str(), (uint)name.size() + 1, &fresh, sizeof(zval *), (void **)&slot);
        set_location(f, op, slot);
    }
}

zval **target_location(frame &f, const zend_op *op) {
    zval **location = location_of(f, op->op1);
    if (!location || !*location) {
        fetch_failed_location(f, op);
        return &f.temps[op->result.u.var].scratch;
    }
    return location;
}

void add_element(zval *array, const znode &key_node, zval *key, zval *value) {
    HashTable *ht = array->value.ht;
    if (key_node.op_type == IS_UNUSED) {
        if (zend_hash_next_index_insert(ht, &value, sizeof(zval *), nullptr) == FAILURE) {
            zend_error(E_WARNING, "Cannot add element to the array as the next element is already occupied");
            zval_ptr_dtor(&value);
        }
        return;
    }
    hash_key k;
    if (!make_key(key, k)) {
        zval_ptr_dtor(&value);
        return;
    }
    if (k.is_string) zend_hash_update(ht, k.str, k.length, &value, sizeof(zval *), nullptr);
    else zend_hash_index_update(ht, k.index, &value, sizeof(zval *), nullptr);
}

void bind_reference(HashTable *table, const std::string &name, zval *ref) {
    zend_hash_update(table, name.c_str(), (uint)name.size() + 1, &ref, sizeof(zval *), nullptr);
}

zval **find_or_create(HashTable *table, const std::string &name) {
    zval **slot;
    if (zend_hash_find(table, name.c_str(), (uint)name.size() + 1, (void **)&slot) == SUCCESS) return slot;
    zval *fresh = new_value();
    zend_hash_update(table, name.c_str(), (uint)name.size() + 1, &fresh, sizeof(zval *), (void **)&slot);
    return slot;
}

HashTable *current_statics(frame &f) {
    const HashTable *initial = f.op_array->static_variables;
    auto it = state.statics.find(initial);
    if (it != state.statics.end()) return it->second;
    HashTable *ht;
    ALLOC_HASHTABLE(ht);
    zend_hash_init(ht, initial ? initial->nNumOfElements : 0, nullptr, (dtor_func_t)_zval_ptr_dtor, 0);
    if (initial) {
        HashTable *src = const_cast<HashTable *>(initial);
        HashPosition pos;
        zval **value;
        for (zend_hash_internal_pointer_reset_ex(src, &pos);
             zend_hash_get_current_data_ex(src, (void **)&value, &pos) == SUCCESS; zend_hash_move_forward_ex(src, &pos)) {
            char *key;
            uint key_length;
            ulong index;
            zval *copy = resolve_constant_copy(*value);
            if (zend_hash_get_current_key_ex(src, &key, &key_length, &index, 0, &pos) == HASH_KEY_IS_STRING)
                zend_hash_update(ht, key, key_length, &copy, sizeof(zval *), nullptr);
            else
                zend_hash_index_update(ht, index, &copy, sizeof(zval *), nullptr);
        }
    }
    state.statics[initial] = ht;
    return ht;
}

} // namespace

zval *assign_to_slot(zval **location, zval *value) {
    zval *target = *location;
    if (target->is_ref) {
        if (target != value) {
            zval old = *target;
            target->value = value->value;
            target->type = value->type;
            if (value->refcount == 1 && !value->is_ref) {
                FREE_ZVAL(value); /* the contents moved over */
            } else {
                zval_copy_ctor(target);
                zval_ptr_dtor(&value);
            }
            zval_dtor(&old);
        } else {
            zval_ptr_dtor(&value);
        }
        return target;
    }
    value = unref(value);
    *location = value;
    zval_ptr_dtor(&target); /* for $a = $a this drops the count take() added */
    return value;
}

zval *assign_private(zval **location, zval *value) {
    zval *target = *location;
    if (target->is_ref || target->refcount == 1) {
        /* the variable's record is its own (or the reference's): the value
         * moves in, the old one goes */
        zval old = *target;
        target->value = value->value;
        target->type = value->type;
        zval_dtor(&old);
        return target;
    }
    zval *fresh;
    ALLOC_ZVAL(fresh);
    fresh->value = value->value;
    fresh->type = value->type;
    INIT_PZVAL(fresh);
    *location = fresh;
    zval_ptr_dtor(&target);
    return fresh;
}

zval *assign_operand(frame &f, const znode &n, zval **location) {
    if (n.op_type == IS_CONST) {
        zval copy = n.u.constant;
        zval_copy_ctor(&copy);
        return assign_private(location, &copy);
    }
    if ((n.op_type == IS_TMP_VAR || n.op_type == IS_VAR) && n.u.var < f.temp_count) {
        temp_var &t = f.temps[n.u.var];
        if (t.value == &t.own) {
            t.value = nullptr;
            return assign_private(location, &t.own);
        }
    }
    return assign_to_slot(location, take(f, n));
}

bool key_find(HashTable *ht, const zval *key, zval ***out) {
    hash_key k;
    if (!make_key(key, k)) return false;
    return (k.is_string ? zend_hash_find(ht, k.str, k.length, (void **)out)
                        : zend_hash_index_find(ht, k.index, (void **)out)) == SUCCESS;
}

bool key_update(HashTable *ht, const zval *key, zval *value, zval ***out) {
    hash_key k;
    if (!make_key(key, k)) return false;
    if (k.is_string) return zend_hash_update(ht, k.str, k.length, &value, sizeof(zval *), (void **)out) == SUCCESS;
    return zend_hash_index_update(ht, k.index, &value, sizeof(zval *), (void **)out) == SUCCESS;
}

bool key_delete(HashTable *ht, const zval *key) {
    hash_key k;
    if (!make_key(key, k)) return false;
    if (k.is_string) return zend_hash_del(ht, k.str, k.length) == SUCCESS;
    return zend_hash_index_del(ht, k.index) == SUCCESS;
}

void fetch_failed_location(frame &f, const zend_op *op) {
    temp_var &t = result_temp(f, op);
    t.scratch = new_value();
    t.location = &t.scratch;
}

void object_init(zval *z, zend_class_entry *ce) {
    HashTable *props;
    ALLOC_HASHTABLE(props);
    zend_hash_init(props, 0, nullptr, (dtor_func_t)_zval_ptr_dtor, 0);
    z->type = IS_OBJECT;
    z->value.obj.ce = ce;
    z->value.obj.properties = props;
}

zval *resolve_constant_copy(const zval *src) {
    if (src->type == IS_CONSTANT) {
        zval *r = new_value();
        if (!get_constant(src->value.str.val, (std::size_t)src->value.str.len, r)) {
            zend_error(E_NOTICE, "Use of undefined constant %s - assumed '%s'", src->value.str.val, src->value.str.val);
            r->type = IS_STRING;
            r->value.str.val = estrndup(src->value.str.val, (uint)src->value.str.len);
            r->value.str.len = src->value.str.len;
        }
        INIT_PZVAL(r);
        return r;
    }
    if (src->type != IS_CONSTANT_ARRAY) return copy_value(src);
    zval *r = new_value();
    array_init(r);
    HashTable *from = src->value.ht;
    HashTable *to = r->value.ht;
    /* Elements keep their order; one whose key is a defined constant is
     * then moved to that constant's value as key, which puts it last (or
     * in the place of an element that already had that key). A key whose
     * constant is not defined stays the constant's name. */
    std::vector<std::pair<std::string, zval>> moves;
    HashPosition pos;
    zval **value;
    for (zend_hash_internal_pointer_reset_ex(from, &pos);
         zend_hash_get_current_data_ex(from, (void **)&value, &pos) == SUCCESS; zend_hash_move_forward_ex(from, &pos)) {
        char *key;
        uint key_length;
        ulong index;
        zval *copy = resolve_constant_copy(*value);
        if (zend_hash_get_current_key_ex(from, &key, &key_length, &index, 0, &pos) != HASH_KEY_IS_STRING) {
            zend_hash_index_update(to, index, &copy, sizeof(zval *), nullptr);
            continue;
        }
        std::string_view name(key, key_length - 1);
        if (name.substr(0, constant_key_prefix.size()) == constant_key_prefix) {
            name.remove_prefix(constant_key_prefix.size());
            zval constant_value;
            if (get_constant(name.data(), name.size(), &constant_value)) {
                moves.emplace_back(std::string(key, key_length), constant_value);
            } else {
                key = const_cast<char *>(name.data());
                key_length = (uint)name.size() + 1;
            }
        }
        zend_hash_update(to, key, key_length, &copy, sizeof(zval *), nullptr);
    }
    for (auto &[marked, constant_value] : moves) {
        zval **element;
        if (zend_hash_find(to, marked.data(), (uint)marked.size(), (void **)&element) == SUCCESS) {
            zval *moved = *element;
            moved->refcount++;
            if (!key_update(to, &constant_value, moved, nullptr)) zval_ptr_dtor(&moved);
            zend_hash_del(to, marked.data(), (uint)marked.size());
        }
        zval_dtor(&constant_value);
    }
    return r;
}

/* ---- handlers ---- */

void op_FETCH(frame &f, const zend_op *op) {
    int mode = effective_mode(f, op->extended_value);
    std::string name = property_name(read(f, op->op1));
    release(f, op->op1);
    HashTable *table = op->extended_value & FETCH_GLOBAL ? &EG(symbol_table) : f.symbol_table;
    zval **slot = nullptr;
    bool found = zend_hash_find(table, name.c_str(), (uint)name.size() + 1, (void **)&slot) == SUCCESS;
    switch (mode) {
    case FETCH_R:
        if (found) {
            set_counted(f, op, *slot);
        } else {
            zend_error(E_NOTICE, "Undefined variable: %s", name.c_str());
            zval null_value;
            null_value.type = IS_NULL;
            null_value.value.lval = 0;
            set_result_value(f, op, null_value);
        }
        return;
    case FETCH_IS:
        if (found) set_counted(f, op, *slot);
        else result_temp(f, op);
        return;
    case FETCH_UNSET:
        if (found) set_location(f, op, slot);
        else result_temp(f, op);
        return;
    default:
        if (!found) {
            if (mode == FETCH_RW) zend_error(E_NOTICE, "Undefined variable: %s", name.c_str());
            slot = find_or_create(table, name);
        }
        set_location(f, op, slot);
        return;
    }
}

void op_FETCH_DIM(frame &f, const zend_op *op) {
    int mode = effective_mode(f, op->extended_value);
    if (mode == FETCH_R || mode == FETCH_IS) fetch_dim_read(f, op, mode == FETCH_IS);
    else fetch_dim_write(f, op, mode);
}

void op_FETCH_OBJ(frame &f, const zend_op *op) {
    int mode = effective_mode(f, op->extended_value);
    if (mode == FETCH_R || mode == FETCH_IS) fetch_obj_read(f, op, mode == FETCH_IS);
    else fetch_obj_write(f, op, mode);
}

void op_MAKE_REF(frame &f, const zend_op *op) {
    zval **location = location_of(f, op->op1);
    zval *ref = location ? make_reference(location) : unref(take(f, op->op1));
    release(f, op->op1);
    set_result(f, op, ref);
}

void op_ASSIGN(frame &f, const zend_op *op) {
    if ((op->op1.op_type == IS_VAR || op->op1.op_type == IS_TMP_VAR) && op->op1.u.var < f.temp_count &&
        f.temps[op->op1.u.var].string_offset >= 0) {
        assign_string_offset(f, op, f.temps[op->op1.u.var]);
        return;
    }
    /* the value first, as a private value when it is one */
    zval held;
    zval *value = nullptr;
    const znode &from = op->op2;
    if (from.op_type == IS_CONST) {
        held = from.u.constant;
        zval_copy_ctor(&held);
    } else if ((from.op_type == IS_TMP_VAR || from.op_type == IS_VAR) && from.u.var < f.temp_count &&
               f.temps[from.u.var].value == &f.temps[from.u.var].own) {
        temp_var &t = f.temps[from.u.var];
        held = t.own;
        t.value = nullptr;
    } else {
        value = take(f, from);
    }
    zval **location = target_location(f, op);
    value = value ? assign_to_slot(location, value) : assign_private(location, &held);
    release(f, op->op1);
    if (op->result.op_type != IS_UNUSED) set_counted(f, op, value);
}

void op_ASSIGN_REF(frame &f, const zend_op *op) {
    zval *ref = take(f, op->op2);
    if (!ref->is_ref && ref->refcount > 1) {
        /* a shared value that is no reference (a function that does not
         * return by reference): the target gets its own copy */
        zval *own = copy_value(ref);
        zval_ptr_dtor(&ref);
        ref = own;
    }
    zval **location = target_location(f, op);
    zval *old = *location;
    *location = ref;
    zval_ptr_dtor(&old);
    release(f, op->op1);
    if (op->result.op_type != IS_UNUSED) set_counted(f, op, ref);
}

void op_ASSIGN_OP(frame &f, const zend_op *op) {
    zval **location = target_location(f, op);
    separate(location);
    zval *target = *location;
    zval *operand = read(f, op->op2);
    switch (op->extended_value) {
    case ZEND_ADD: add_function(target, target, operand); break;
    case ZEND_SUB: sub_function(target, target, operand); break;
    case ZEND_MUL: mul_function(target, target, operand); break;
    case ZEND_DIV: div_function(target, target, operand); break;
    case ZEND_MOD: mod_function(target, target, operand); break;
    case ZEND_CONCAT: concat_function(target, target, operand); break;
    case ZEND_BW_OR: bitwise_or_function(target, target, operand); break;
    case ZEND_BW_AND: bitwise_and_function(target, target, operand); break;
    case ZEND_BW_XOR: bitwise_xor_function(target, target, operand); break;
    case ZEND_SL: shift_left_function(target, target, operand); break;
    case ZEND_SR: shift_right_function(target, target, operand); break;
    default: break;
    }
    release(f, op->op2);
    release(f, op->op1);
    if (op->result.op_type != IS_UNUSED) set_counted(f, op, target);
}

static void incdec(frame &f, const zend_op *op, bool increment, bool post) {
    zval **location = target_location(f, op);
    separate(location);
    zval *target = *location;
    bool keep_old = post && op->result.op_type != IS_UNUSED;
    zval old;
    if (keep_old) {
        old = *target;
        zval_copy_ctor(&old);
    }
    if (increment) increment_function(target);
    else decrement_function(target);
    release(f, op->op1);
    if (op->result.op_type == IS_UNUSED) return;
    if (post) set_result_value(f, op, old);
    else set_counted(f, op, target);
}

void op_PRE_INC(frame &f, const zend_op *op) { incdec(f, op, true, false); }
void op_PRE_DEC(frame &f, const zend_op *op) { incdec(f, op, false, false); }
void op_POST_INC(frame &f, const zend_op *op) { incdec(f, op, true, true); }
void op_POST_DEC(frame &f, const zend_op *op) { incdec(f, op, false, true); }

void op_ISSET(frame &f, const zend_op *op) {
    zval *v = peek(f, op->op1);
    bool set = v && v->type != IS_NULL;
    release(f, op->op1);
    zval r;
    r.type = IS_BOOL;
    r.value.lval = set;
    set_result_value(f, op, r);
}

void op_EMPTY(frame &f, const zend_op *op) {
    zval *v = peek(f, op->op1);
    bool empty = !v || !zend_is_true(v);
    release(f, op->op1);
    zval r;
    r.type = IS_BOOL;
    r.value.lval = empty;
    set_result_value(f, op, r);
}

void op_UNSET_VAR(frame &f, const zend_op *op) {
    std::string name = property_name(read(f, op->op1));
    release(f, op->op1);
    HashTable *table = op->extended_value & FETCH_GLOBAL ? &EG(symbol_table) : f.symbol_table;
    if (name == "this" && f.this_ptr && table == f.symbol_table) f.this_ptr = nullptr;
    zend_hash_del(table, name.c_str(), (uint)name.size() + 1);
}

void op_UNSET_DIM(frame &f, const zend_op *op) {
    zval **location = location_of(f, op->op1);
    zval *key = read(f, op->op2);
    if (location && *location) {
        zval *container = *location;
        if (op->extended_value == 1 && container->type == IS_OBJECT) {
            separate(location);
            std::string name = property_name(key);
            zend_hash_del((*location)->value.obj.properties, name.c_str(), (uint)name.size() + 1);
        } else if (op->extended_value != 1 && container->type == IS_ARRAY) {
            separate(location);
            key_delete((*location)->value.ht, key);
        }
    }
    release(f, op->op2);
    release(f, op->op1);
}

void op_INIT_ARRAY(frame &f, const zend_op *op) {
    zval *array = new_value();
    array_init(array);
    if (op->op1.op_type != IS_UNUSED) {
        zval *value = op->extended_value == 1 ? take(f, op->op1) : unref(take(f, op->op1));
        add_element(array, op->op2, read(f, op->op2), value);
        release(f, op->op2);
    }
    set_result(f, op, array);
}

void op_ADD_ARRAY_ELEMENT(frame &f, const zend_op *op) {
    zval *array = peek(f, op->result);
    zval *value = op->extended_value == 1 ? take(f, op->op1) : unref(take(f, op->op1));
    if (array && array->type == IS_ARRAY) add_element(array, op->op2, read(f, op->op2), value);
    else zval_ptr_dtor(&value);
    release(f, op->op2);
}

void op_BIND_GLOBAL(frame &f, const zend_op *op) {
    std::string name = property_name(read(f, op->op1));
    release(f, op->op1);
    if (f.symbol_table == &EG(symbol_table)) return;
    zval *ref = make_reference(find_or_create(&EG(symbol_table), name));
    bind_reference(f.symbol_table, name, ref);
}

void op_BIND_STATIC(frame &f, const zend_op *op) {
    std::string name = property_name(read(f, op->op1));
    release(f, op->op1);
    zval *ref = make_reference(find_or_create(current_statics(f), name));
    bind_reference(f.symbol_table, name, ref);
}

/* foreach moves the array's internal pointer as it goes, so current()
 * and key() see where the loop is: reset at the start, past the element
 * just fetched, null at the end. A variable is separated first (copy on
 * write), so the loop's array is the variable's own and shared with no
 * other variable. The loop keeps its position in the temporary; nothing
 * else moves it: whoever changes the variable separates it from the
 * loop's array. A reference is shared by design, so the loop runs over a
 * copy of it (changes made by the body do not change the loop) and moves
 * the referenced array's internal pointer to the element with the key
 * just fetched. */
void op_FE_RESET(frame &f, const zend_op *op) {
    zval **location = location_of(f, op->op1);
    zval *subject;
    if (location && *location) {
        separate(location);
        subject = share(*location);
        release(f, op->op1);
    } else {
        subject = take(f, op->op1);
    }
    if (!table_of(subject)) {
        zend_error(E_WARNING, "Invalid argument supplied for foreach()");
        zval_ptr_dtor(&subject);
        result_temp(f, op);
        f.pc = op->op2.u.opline_num;
        return;
    }
    zval *owner = nullptr;
    if (subject->is_ref || table_of(subject) == &EG(symbol_table)) {
        /* $GLOBALS too: copying it leaves the symbol table shared */
        owner = subject;
        zend_hash_internal_pointer_reset(table_of(owner));
        subject = snapshot_of(owner);
    }
    set_result(f, op, subject);
    temp_var &t = f.temps[op->result.u.var];
    t.pointer_owner = owner;
    HashTable *ht = table_of(subject);
    zend_hash_internal_pointer_reset(ht);
    t.position = ht->pInternalPointer;
}

void op_FE_FETCH(frame &f, const zend_op *op) {
    if (op->op1.u.var >= f.temp_count) zend_error(E_ERROR, "Invalid temporary");
    temp_var &it = f.temps[op->op1.u.var];
    zval *subject = it.value;
    if (!subject) {
        f.pc = op->op2.u.opline_num;
        return;
    }
    HashTable *ht = table_of(subject);
    HashTable *owner = it.pointer_owner ? table_of(it.pointer_owner) : ht;
    Bucket *at = it.position;
    zval **data;
    if (!ht || zend_hash_get_current_data_ex(ht, (void **)&data, &it.position) != SUCCESS) {
        if (owner) owner->pInternalPointer = nullptr;
        f.pc = op->op2.u.opline_num;
        return;
    }
    if (op->extended_value) {
        zend_uint key_temp = (zend_uint)(op->extended_value - 1);
        if (key_temp >= f.temp_count) zend_error(E_ERROR, "Invalid temporary");
        char *key;
        uint key_length;
        ulong index;
        temp_var &kt = f.temps[key_temp];
        release_temp(kt);
        zval &k = kt.own;
        if (zend_hash_get_current_key_ex(ht, &key, &key_length, &index, 0, &it.position) == HASH_KEY_IS_STRING) {
            k.type = IS_STRING;
            k.value.str.len = key_length > 0 ? (int)key_length - 1 : 0;
            k.value.str.val = estrndup(key, (uint)k.value.str.len);
        } else {
            k.type = IS_LONG;
            k.value.lval = (long)index;
        }
        INIT_PZVAL(&k);
        kt.value = &k;
    }
    zend_hash_move_forward_ex(ht, &it.position);
    if (owner == ht) {
        ht->pInternalPointer = it.position;
    } else if (owner) {
        if (Bucket *same = bucket_with_key_of(owner, at)) owner->pInternalPointer = same->pListNext;
    }
    set_counted(f, op, *data);
}

} // namespace zend::exec
