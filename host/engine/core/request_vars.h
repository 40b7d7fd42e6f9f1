/* The pieces of request-variable registration that the form-upload reader
 * shares with the url-encoded one. */
#ifndef BRISKO_CORE_REQUEST_VARS_H
#define BRISKO_CORE_REQUEST_VARS_H

#include <string>

#include "engine.h"

namespace zend {

/* Most variables one source (query string, body, cookies) may make; past
 * it the rest of the source is dropped with a warning. */
constexpr int max_input_vars = 1000;

/* One variable into track by the engine's naming rules ("a[]", "b[x][y]").
 * The track takes value's reference; a name that makes no variable
 * destroys it. */
void register_variable(HashTable *track, std::string name, zval *value);
void register_variable(HashTable *track, const std::string &name, const std::string &value);

/* True for a Content-Type whose media type (the part before ';') is
 * media, compared without regard to case. */
bool has_media_type(const std::string &content_type, const char *media);

/* A multipart/form-data body: its fields into post, its files into
 * files ($_FILES's shape: name, type, tmp_name, error, size under each
 * field name), and, for register_globals, the old-style variables
 * ($f, $f_name, $f_type, $f_size) into file_globals. */
void parse_multipart(HashTable *post, HashTable *files, HashTable *file_globals, const std::string &content_type,
                     const std::string &body);

} // namespace zend

#endif
