<?php
// Functions and methods of a cached file called back by built-ins.
include "sorting.php";
$words = array("ccc", "a", "bb", "dddd");
usort($words, "by_length");
$nums = array(3, 1, 4, 1, 5, 9, 2, 6);
$s = new Sorter();
usort($nums, array($s, "compare"));
echo implode(",", $words), " ", implode(",", $nums), " ", implode(",", array_map("shout", array("a", "b"))), " ";
echo implode(",", array_filter(range(1, 9), "is_even")), " ", $s->apply("shout", "x"), " ", call_user_func_array(array("Sorter", "apply"), array("strrev", "abc")), "\n";
