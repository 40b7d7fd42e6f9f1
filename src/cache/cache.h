/* The compiled-script cache: saving a compiled file into a pool, restoring
 * it into a request, and the compile hook that chooses between them. */
#ifndef BRISKO_CACHE_INTERNAL_H
#define BRISKO_CACHE_INTERNAL_H

#include <stdio.h>
#include <sys/stat.h>
#include "brisko_cache.h"
#include "brisko_hash.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Saving (into the entry's pool). brisko_save_start begins a file's save. */
void brisko_save_start(void);
void brisko_save_op(zend_op_array **dest, zend_op_array *src, bkpool *pool);
void brisko_save_znode(znode *operand, bkpool *pool);
/* Walked over what a compilation appended to the engine's function and
 * class tables, the entry as argument. A class keeps only what it declares
 * itself. */
int brisko_save_function1(void *pData, int num_args, va_list args, zend_hash_key *key);
int brisko_save_class1(void *pData, int num_args, va_list args, zend_hash_key *key);
/* Arguments: a brisko_copy_dest, then the class whose method table is
 * walked; methods taken over from its parent are skipped. */
int brisko_save_op1(void *pData, int num_args, va_list args, zend_hash_key *key);

/* Marks the saved classes whose parent is bound when their declaration
 * runs (late_parent), from the ops that bind them. */
void brisko_note_late_parents(brisko_file_entry *entry);

/* Records the calls of the saved code that pass a value which is not a
 * variable to a function called by name (literal_args). */
void brisko_note_literal_args(brisko_file_entry *entry);
/* 1 when a function of the request takes one of those arguments by
 * reference: compiled now, the file would be refused. */
int brisko_literal_arg_refused(brisko_file_entry *entry);

/* Inheritance as the engine's compiler does it (classes.cpp). */
int brisko_method_inherited(zend_class_entry *ce, const char *key, uint key_length, zend_function *method);
/* The list of own members that replace a parent's (brisko_class_node's
 * overrides), in the pool; NULL when none do. */
char *brisko_save_overrides(HashTable *methods, HashTable *defaults, zend_class_entry *parent, bkpool *pool);
/* 1 when restoring the saved class under this parent gives what the
 * compiler gives under it. */
int brisko_overrides_hold(zend_class_entry *saved, const char *overrides, zend_class_entry *parent);
void brisko_inherit_copy(zend_class_entry *ce, zend_class_entry *parent);
/* A class record's method and default tables, empty, in target; saving and
 * restoring build them alike. */
void brisko_class_tables_init(zend_class_entry *ce, bkpool *target);
/* A deep copy of a static-variable table in target. */
HashTable *brisko_copy_statics(HashTable *statics, bkpool *target);
void brisko_inherit_constructor(zend_class_entry *ce);

/* Set while a save meets something it cannot keep (a class whose methods
 * are not user code): the file is then recorded without code, so it is
 * compiled every time rather than served incomplete. */
extern int brisko_save_incomplete;

/* Restoring (into the engine's per-request allocator and tables). */
void brisko_load_op(zend_op_array **dest, zend_op_array *saved);
void brisko_load_function(brisko_function_node *node);
void brisko_load_class(brisko_class_node *node);
int brisko_load_op1(void *pData, int num_args, va_list args, zend_hash_key *key);

/* 1 when restoring the entry would put a function or class over one the
 * request already has. */
int brisko_would_redeclare(brisko_file_entry *entry);

zend_op_array *brisko_load_cache1(const char *path, int *found, struct stat *status);

/* An entry's pool that left the table, to be deleted at the next request
 * start (brisko_cache_request_startup). */
void brisko_retire_pool(bkpool *pool);
void brisko_cache_request_startup(void);

#ifdef __cplusplus
}
#endif

#endif
