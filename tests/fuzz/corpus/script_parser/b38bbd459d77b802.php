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
