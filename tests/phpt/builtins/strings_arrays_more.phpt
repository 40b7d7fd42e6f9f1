--TEST--
More string and array helpers: strtr both forms, substr_replace, URL coding, wordwrap, array_fill, array_pad, array_unshift
--ARGS--
-n
--FILE--
<?php
echo strtr("Hi all, I said", "ai", "eo"), "|", strtr("Hi all", array("Hi" => "Hello", "Hello" => "x", "all" => "everyone", "" => "empty")), "\n";
echo substr_replace("Hello world", "PHP", 6, 5), "|", substr_replace("abc", "X", -1), "|", substr_replace("abc", "X", 1, 0), "|", substr_replace("abc", "X", 10), "\n";
echo urldecode("a%20b+c%2F%zz"), "|", rawurldecode("a%20b+c"), "|", urlencode("a b&c/é"), "|", rawurlencode("a b~"), "\n";
echo wordwrap("The quick brown fox sat over the lazy dog", 15, "\n", true), "\n";
echo wordwrap("A very long woooooooooooord.", 8, "\n", true), "\n";
echo wordwrap("A very long woooooooooooord.", 8), "\n";
print_r(array_fill(5, 3, "v"));
print_r(array_pad(array(1, 2), 4, 0));
print_r(array_pad(array(1, 2), -4, 0));
$q = array("x" => "keep", 5 => "five");
echo array_unshift($q, "first", "second"), "\n";
print_r($q);
--EXPECT--
Ho ell, I seod|Hello everyone
Hello PHP|abX|aXbc|abcX
a b c/%zz|a b+c|a+b%26c%2F%C3%A9|a%20b%7E
The quick brown
fox sat over
the lazy dog
A very
long
wooooooo
ooooord.
A very
long
woooooooooooord.
Array
(
    [5] => v
    [6] => v
    [7] => v
)
Array
(
    [0] => 1
    [1] => 2
    [2] => 0
    [3] => 0
)
Array
(
    [0] => 0
    [1] => 0
    [2] => 1
    [3] => 2
)
4
Array
(
    [0] => first
    [1] => second
    [x] => keep
    [2] => five
)
