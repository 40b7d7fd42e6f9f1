<?php
echo strlen("héllo"), "|", strlen(""), "|", strlen(12345), "\n";
var_dump(substr("abcdef", 1, 3), substr("abcdef", -2), substr("abcdef", 1, -2), substr("abc", 3), substr("abc", 5), substr("abc", -10, 2));
var_dump(strpos("hello world", "o"), strpos("hello world", "o", 5), strpos("hello", "z"), strpos("abc", ""));
echo str_replace("l", "L", "hello"), "|", str_replace(array("a", "b"), "x", "abcab"), "|", str_replace(array("a", "b"), array("b", "c"), "ab"), "\n";
print_r(str_replace("o", "0", array("k" => "foo", "bar")));
echo str_repeat("ab", 3), "|", strtoupper("MiXed 1"), "|", strtolower("MiXed 1"), "|", ucfirst("word here"), "|", ucwords("two words"), "|", strrev("abc"), "\n";
echo "[", trim("  pad \n"), "][", ltrim("xxaxx", "x"), "][", rtrim("1.500", "0"), "][", trim("abcXcba", "a..c"), "]\n";
echo implode(", ", array(1, 2.5, "three", true)), "|", join("-", array("a")), "|", implode(array("x", "y")), "\n";
print_r(explode(",", "a,b,,c"));
print_r(explode(",", "a,b,c", 2));
var_dump(explode("", "abc"));
echo htmlspecialchars("<a href=\"x\">T&C's</a>"), "|", htmlspecialchars("'q'", ENT_QUOTES), "\n";
echo nl2br("one\ntwo\r\nthree"), "\n";
echo "[", str_pad("5", 3, "0", STR_PAD_LEFT), "][", str_pad("ab", 7, "-=", STR_PAD_BOTH), "][", str_pad("abc", 2), "][", str_pad("x", 4), "]\n";
echo strcmp("a", "b") < 0 ? "lt" : "ge", " ", strcmp("b", "a") > 0 ? "gt" : "le", " ", strcmp("x", "x"), " ", strcasecmp("HELLO", "hello"), "\n";
